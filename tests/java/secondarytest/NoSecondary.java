package secondarytest;

/** A program that takes no hand-overs. */
public class NoSecondary {
    public static void main(String[] args) {}

    public static int secondaryMain(String arg) {
        return 5;
    }
}
