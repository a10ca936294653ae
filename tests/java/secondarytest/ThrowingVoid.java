package secondarytest;

/** The void secondaryMain ends with an exception. */
public class ThrowingVoid {
    public static void main(String[] args) {}

    public static void secondaryMain(String[] args) {
        throw new IllegalStateException("void boom");
    }
}
