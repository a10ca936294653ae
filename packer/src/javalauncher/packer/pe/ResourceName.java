package javalauncher.packer.pe;

import java.util.Locale;

/**
 * A resource type or name: a 16-bit number or a string. Directories list strings first, then
 * numbers, each in ascending order; the loader's binary search compares strings without case,
 * so strings order by their upper-case form.
 */
public final class ResourceName implements Comparable<ResourceName> {
    private final int id;
    private final String text;

    private ResourceName(int id, String text) {
        this.id = id;
        this.text = text;
    }

    public static ResourceName of(int id) {
        if (id < 0 || id > 0xFFFF) throw new IllegalArgumentException("resource id " + id);
        return new ResourceName(id, null);
    }

    public static ResourceName of(String text) {
        return new ResourceName(-1, text);
    }

    public boolean isString() {
        return text != null;
    }

    public int id() {
        return id;
    }

    public String text() {
        return text;
    }

    @Override
    public int compareTo(ResourceName other) {
        if (isString() != other.isString()) return isString() ? -1 : 1;
        if (!isString()) return Integer.compare(id, other.id);
        int byUpperCase = upper(text).compareTo(upper(other.text));
        return byUpperCase != 0 ? byUpperCase : text.compareTo(other.text);
    }

    private static String upper(String value) {
        return value.toUpperCase(Locale.ROOT);
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof ResourceName && compareTo((ResourceName) other) == 0;
    }

    @Override
    public int hashCode() {
        return isString() ? text.hashCode() : id;
    }

    @Override
    public String toString() {
        return isString() ? "\"" + text + "\"" : Integer.toString(id);
    }
}
