package bridgetest;

/** main ends with an uncaught exception. */
public class Throws {
    public static void main(String[] args) {
        throw new RuntimeException("boom");
    }
}
