package javalauncher.packer;

/** A pack that cannot go on; the message says what is wrong and how to fix it. */
public class PackException extends Exception {
    private static final long serialVersionUID = 1L;

    public PackException(String message) {
        super(message);
    }

    public PackException(String message, Throwable cause) {
        super(message, cause);
    }
}
