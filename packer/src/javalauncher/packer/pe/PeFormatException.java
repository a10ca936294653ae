package javalauncher.packer.pe;

/** An executable whose layout the packer cannot read or safely rewrite. */
public final class PeFormatException extends Exception {
    private static final long serialVersionUID = 1L;

    public PeFormatException(String message) {
        super(message);
    }
}
