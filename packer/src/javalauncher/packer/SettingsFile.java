package javalauncher.packer;

import java.nio.charset.StandardCharsets;
import java.util.LinkedHashMap;
import java.util.Locale;
import java.util.Map;

/**
 * An INI settings file as the launcher reads it through the Windows profile functions:
 * sections and keys match without case, and a value loses its surrounding blanks and one pair
 * of matching quotes when read. Values that would lose something are written in double
 * quotes, so what is set here is what the launcher reads back.
 */
public final class SettingsFile {
    private final Map<String, String> sectionNames = new LinkedHashMap<>();
    private final Map<String, Map<String, String[]>> sections = new LinkedHashMap<>();

    /** Sets a value, replacing one under the same section and key in any letter case. */
    public void set(String section, String key, String value) {
        checkSection(section);
        checkKey(key);
        checkValue(value);
        String sectionId = section.toLowerCase(Locale.ROOT);
        sectionNames.putIfAbsent(sectionId, section);
        sections.computeIfAbsent(sectionId, s -> new LinkedHashMap<>())
                .put(key.toLowerCase(Locale.ROOT), new String[] {key, value});
    }

    /** Sets a value unless the section already has that key. */
    public void setDefault(String section, String key, String value) {
        if (get(section, key) == null) set(section, key, value);
    }

    /** The value, or null when the key is not set. */
    public String get(String section, String key) {
        Map<String, String[]> entries = sections.get(section.toLowerCase(Locale.ROOT));
        if (entries == null) return null;
        String[] entry = entries.get(key.toLowerCase(Locale.ROOT));
        return entry == null ? null : entry[1];
    }

    public SettingsFile copy() {
        SettingsFile copy = new SettingsFile();
        sections.forEach((id, entries) -> entries.values().forEach(
                entry -> copy.set(sectionNames.get(id), entry[0], entry[1])));
        return copy;
    }

    /** The file's text, CRLF line ends, sections in the order they were first set. */
    public String toText() {
        StringBuilder text = new StringBuilder();
        sections.forEach((id, entries) -> {
            if (text.length() > 0) text.append("\r\n");
            text.append('[').append(sectionNames.get(id)).append("]\r\n");
            for (String[] entry : entries.values()) {
                text.append(entry[0]).append('=').append(quotedIfNeeded(entry[1])).append("\r\n");
            }
        });
        return text.toString();
    }

    /** UTF-16LE with a byte-order mark: the encoding the profile functions read any text in. */
    public static byte[] encode(String text) {
        byte[] body = text.getBytes(StandardCharsets.UTF_16LE);
        byte[] out = new byte[body.length + 2];
        out[0] = (byte) 0xFF;
        out[1] = (byte) 0xFE;
        System.arraycopy(body, 0, out, 2, body.length);
        return out;
    }

    static String quotedIfNeeded(String value) {
        if (value.isEmpty()) return value;
        char first = value.charAt(0);
        char last = value.charAt(value.length() - 1);
        boolean losesQuotes = value.length() >= 2 && (first == '"' || first == '\'')
                && last == first;
        boolean losesBlanks = isBlank(first) || isBlank(last);
        return losesQuotes || losesBlanks ? "\"" + value + "\"" : value;
    }

    private static boolean isBlank(char c) {
        return c == ' ' || c == '\t';
    }

    private static void checkSection(String section) {
        if (section.isEmpty() || section.indexOf(']') >= 0 || hasLineBreak(section)
                || !section.equals(section.trim())) {
            throw new IllegalArgumentException("section name \"" + section + "\" cannot be"
                    + " written: it must be non-empty, without ']', line breaks or outer blanks");
        }
    }

    private static void checkKey(String key) {
        if (key.isEmpty() || key.indexOf('=') >= 0 || key.startsWith(";")
                || key.startsWith("[") || hasLineBreak(key) || !key.equals(key.trim())) {
            throw new IllegalArgumentException("key \"" + key + "\" cannot be written: it must be"
                    + " non-empty, without '=', line breaks or outer blanks, and not start with"
                    + " ';' or '['");
        }
    }

    private static void checkValue(String value) {
        if (hasLineBreak(value)) {
            throw new IllegalArgumentException("a settings value cannot hold a line break");
        }
    }

    private static boolean hasLineBreak(String text) {
        return text.indexOf('\n') >= 0 || text.indexOf('\r') >= 0 || text.indexOf('\0') >= 0;
    }
}
