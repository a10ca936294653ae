package javalauncher.packer;

import java.util.function.Consumer;

/**
 * Named moments of a pack at which the tests interrupt it, to check what an interruption there
 * leaves behind: "staged" (the pack is complete beside --out), "moved-aside" (the earlier pack's
 * files are out of --out, the new ones not yet in), "moved-in" (all new files are in, the record
 * not yet) and "recorded" (the record is in place, the work folder not yet removed).
 */
final class Checkpoint {
    /** Names a point at which the packer stops and waits to be killed. */
    static final String PAUSE_VARIABLE = "JAVALAUNCHER_PACK_TEST_PAUSE";
    private static final long PAUSE_MILLIS = 120_000;

    /** The JUnit tests' stand-in for a kill. */
    static volatile Consumer<String> hook;
    /** Set when the packer is being stopped, which ends a pause. */
    static volatile boolean stopping;

    private Checkpoint() {}

    static void reach(String point) {
        Consumer<String> test = hook;
        if (test != null) test.accept(point);
        if (!point.equals(System.getenv(PAUSE_VARIABLE))) return;
        System.err.println("javalauncher-pack: paused at " + point + " (process "
                + ProcessHandle.current().pid() + ")");
        System.err.flush();
        long end = System.currentTimeMillis() + PAUSE_MILLIS;
        while (!stopping && System.currentTimeMillis() < end) {
            try {
                Thread.sleep(50);
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
                return;
            }
        }
    }
}
