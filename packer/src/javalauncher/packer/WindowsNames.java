package javalauncher.packer;

import java.util.Locale;
import java.util.Set;

/**
 * What Windows accepts as the name of one file: the packer makes files from --name and from the
 * jars' names, and a name Windows cannot hold would give a pack no one can unpack or start.
 * Letters of every script are fine; only the rules below are not.
 */
final class WindowsNames {
    /** NTFS and the other Windows file systems hold at most this many UTF-16 units a name. */
    static final int MAX_LENGTH = 255;
    private static final String FORBIDDEN = "<>:\"/\\|?*";
    /**
     * Device names: Windows opens the device instead of a file of that name, whatever the
     * extension. The superscript digits count as digits here, as in Windows itself.
     */
    private static final Set<String> DEVICES = Set.of("CON", "PRN", "AUX", "NUL", "CONIN$",
            "CONOUT$", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
            "COM\u00B9", "COM\u00B2", "COM\u00B3", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",
            "LPT7", "LPT8", "LPT9", "LPT\u00B9", "LPT\u00B2", "LPT\u00B3");

    private WindowsNames() {}

    /** Null when Windows can hold the name, else the rule it breaks, in words. */
    static String problemOf(String name) {
        if (name.isEmpty()) return "the name is empty";
        for (int i = 0; i < name.length(); i++) {
            char c = name.charAt(i);
            if (c < 0x20) {
                return "it holds a control character (code " + (int) c + "), which Windows"
                        + " does not allow in file names";
            }
            if (FORBIDDEN.indexOf(c) >= 0) {
                return "it holds '" + c + "'; Windows allows none of " + FORBIDDEN
                        + " in file names";
            }
        }
        char last = name.charAt(name.length() - 1);
        if (last == '.' || last == ' ') {
            return "it ends in " + (last == '.' ? "a dot" : "a blank") + ", which Windows"
                    + " drops from file names";
        }
        int dot = name.indexOf('.');
        String stem = (dot < 0 ? name : name.substring(0, dot)).stripTrailing();
        if (DEVICES.contains(stem.toUpperCase(Locale.ROOT))) {
            return stem + " is a device name Windows reserves (CON, PRN, AUX, NUL, COM1-9,"
                    + " LPT1-9), with or without an extension";
        }
        if (name.length() > MAX_LENGTH) {
            return "it is longer than the " + MAX_LENGTH + " characters Windows allows";
        }
        return null;
    }
}
