package secondarytest;

/** secondaryMain ends with an exception. */
public class ThrowingAnswer {
    public static void main(String[] args) {}

    public static int secondaryMain(String[] args) {
        throw new IllegalStateException("secondary boom");
    }
}
