package bridgetest;

/** Keeps the arguments of main for the test to inspect afterwards. */
public class EchoArgs {
    public static String[] received;

    public static void main(String[] args) {
        received = args;
    }
}
