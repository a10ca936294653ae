package bridgetest;

import java.io.PrintStream;
import java.io.PrintWriter;
import java.io.StringWriter;

/** Exceptions for the stack-trace tests, and the text printStackTrace gives for them. */
public class Failures {
    public static Throwable withCause() {
        return new IllegalStateException("outer \u00e4\u00f6\u00fc \u20ac \u4e2d",
                new RuntimeException("inner"));
    }

    public static Throwable withBrokenTrace() {
        return new BrokenTrace();
    }

    public static String traceOf(Throwable t) {
        StringWriter text = new StringWriter();
        t.printStackTrace(new PrintWriter(text, true));
        return text.toString();
    }

    /** Writes part of its trace, then fails. */
    static class BrokenTrace extends RuntimeException {
        @Override
        public void printStackTrace(PrintStream s) {
            s.print("partial");
            throw new IllegalStateException("trace broke");
        }
    }

    /** Refuses every System.exit from now on. */
    @SuppressWarnings("removal")
    public static void refuseExit() {
        System.setSecurityManager(new SecurityManager() {
            @Override
            public void checkExit(int status) {
                throw new SecurityException("exit refused");
            }

            @Override
            public void checkPermission(java.security.Permission perm) {}
        });
    }
}
