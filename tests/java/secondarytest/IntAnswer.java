package secondarytest;

/** Answers a hand-over with a value that depends on the arguments it received. */
public class IntAnswer {
    public static volatile String[] received;

    public static void main(String[] args) {}

    public static int secondaryMain(String[] args) {
        received = args;
        return args.length * 100 + (args.length > 0 ? args[0].length() : 0);
    }
}
