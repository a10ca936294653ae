package bridgetest;

/** Writes args[0] to standard output and args[1] to standard error. */
public class PrintBoth {
    public static void main(String[] args) {
        System.out.print(args[0]);
        System.out.flush();
        System.err.print(args[1]);
        System.err.flush();
    }
}
