package bridgetest;

/** Returns from main at once; a daemon thread ends the JVM shortly afterwards. */
public class ExitLater {
    public static void main(String[] args) {
        final int status = Integer.parseInt(args[0]);
        Thread exiter = new Thread(() -> {
            try {
                Thread.sleep(300);
            } catch (InterruptedException e) {
                // exit anyway
            }
            System.exit(status);
        });
        exiter.setDaemon(true);
        exiter.start();
    }
}
