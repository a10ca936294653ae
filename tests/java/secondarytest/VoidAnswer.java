package secondarytest;

/** Takes a hand-over without answering. */
public class VoidAnswer {
    public static volatile String[] received;

    public static void main(String[] args) {}

    public static void secondaryMain(String[] args) {
        received = args;
    }
}
