package bridgetest;

import java.io.FileOutputStream;
import java.io.IOException;

/** Returns from main while a non-daemon thread still has work to do: it writes args[0] later. */
public class Lingering {
    public static void main(String[] args) {
        final String path = args[0];
        new Thread(() -> {
            try {
                Thread.sleep(800);
                try (FileOutputStream out = new FileOutputStream(path)) {
                    out.write("done".getBytes("US-ASCII"));
                }
            } catch (InterruptedException | IOException e) {
                e.printStackTrace();
            }
        }).start();
    }
}
