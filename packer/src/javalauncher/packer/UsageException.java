package javalauncher.packer;

/** A command line the packer cannot accept. */
public final class UsageException extends PackException {
    private static final long serialVersionUID = 1L;

    public UsageException(String message) {
        super(message);
    }
}
