package bridgetest;

/** Ends the JVM with the status given as the first argument. */
public class ExitWith {
    public static void main(String[] args) {
        System.exit(Integer.parseInt(args[0]));
    }
}
