package javalauncher.packer;

import java.util.ArrayList;
import java.util.List;

/**
 * The base settings text read the way the launcher reads it: sections and keys match exactly
 * (letter case included), the first section of a name and the first entry of a key win, there
 * are no comments or quotes. The packer asks it which values the base text already sets, so
 * that what it writes into the settings file, which overrides the base, does not undo them.
 */
final class BaseText {
    static final BaseText EMPTY = new BaseText(List.of());

    private static final class Section {
        final String name;
        final List<String[]> entries = new ArrayList<>();

        Section(String name) {
            this.name = name;
        }
    }

    private final List<Section> sections;

    private BaseText(List<Section> sections) {
        this.sections = sections;
    }

    /** Lines end as in the executable, where every line end is stored as CRLF. */
    static BaseText parse(String text) {
        if (text == null) return EMPTY;
        String[] lines = text.replace("\r\n", "\n").replace('\r', '\n').split("\n", -1);
        List<Section> sections = new ArrayList<>();
        Section current = null;
        for (int i = 0; i < lines.length; i++) {
            String line = lines[i];
            if (i == 0 && line.startsWith("\uFEFF")) line = line.substring(1);
            int start = 0;
            while (start < line.length() && line.charAt(start) <= ' ') start++;
            int end = line.length();
            if (start < end && line.charAt(start) == '[') {
                while (end > start && line.charAt(end - 1) <= ' ') end--;
                if (line.charAt(end - 1) == ']') {
                    current = new Section(line.substring(start + 1, end - 1));
                    sections.add(current);
                    continue;
                }
            }
            int equals = line.indexOf('=');
            if (current == null || equals < 0) continue;
            current.entries.add(new String[] {strip(line.substring(0, equals)),
                    strip(line.substring(equals + 1))});
        }
        return new BaseText(sections);
    }

    /** The value the launcher takes from the base for this section and key, or null. */
    String get(String section, String key) {
        for (Section candidate : sections) {
            if (!candidate.name.equals(section)) continue;
            for (String[] entry : candidate.entries) {
                if (entry[0].equals(key)) return entry[1];
            }
            return null;
        }
        return null;
    }

    /** Whether the base sets a value that the launcher would use. */
    boolean sets(String section, String key) {
        String value = get(section, key);
        return value != null && !value.isEmpty();
    }

    /** Section names, duplicates included, in the order of the text. */
    List<String> sectionNames() {
        List<String> names = new ArrayList<>();
        for (Section section : sections) names.add(section.name);
        return names;
    }

    /** The first entry whose section and key match without regard to letter case, or null. */
    String[] findIgnoringCase(String section, String key) {
        for (Section candidate : sections) {
            if (!candidate.name.equalsIgnoreCase(section)) continue;
            for (String[] entry : candidate.entries) {
                if (entry[0].equalsIgnoreCase(key) && !entry[1].isEmpty()) {
                    return new String[] {candidate.name, entry[0], entry[1]};
                }
            }
        }
        return null;
    }

    private static String strip(String text) {
        int start = 0;
        int end = text.length();
        while (start < end && isSpace(text.charAt(start))) start++;
        while (end > start && isSpace(text.charAt(end - 1))) end--;
        return text.substring(start, end);
    }

    private static boolean isSpace(char c) {
        return Character.isWhitespace(c) || Character.isSpaceChar(c);
    }
}
