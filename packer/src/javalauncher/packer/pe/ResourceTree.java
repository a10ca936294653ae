package javalauncher.packer.pe;

import java.util.Arrays;
import java.util.Map;
import java.util.TreeMap;

/** The resources of an executable: type, then name, then language, each leaf holding data. */
public final class ResourceTree {
    public static final int TYPE_ICON = 3;
    public static final int TYPE_GROUP_ICON = 14;
    public static final int TYPE_VERSION = 16;

    /** One leaf: the data and the code page recorded beside it. */
    public static final class Entry {
        public final byte[] data;
        public final long codePage;

        public Entry(byte[] data, long codePage) {
            this.data = data.clone();
            this.codePage = codePage;
        }

        @Override
        public boolean equals(Object other) {
            return other instanceof Entry && codePage == ((Entry) other).codePage
                    && Arrays.equals(data, ((Entry) other).data);
        }

        @Override
        public int hashCode() {
            return Arrays.hashCode(data);
        }
    }

    private final Map<ResourceName, Map<ResourceName, Map<Integer, Entry>>> types =
            new TreeMap<>();

    public Map<ResourceName, Map<ResourceName, Map<Integer, Entry>>> types() {
        return types;
    }

    public void put(ResourceName type, ResourceName name, int language, byte[] data) {
        types.computeIfAbsent(type, t -> new TreeMap<>())
                .computeIfAbsent(name, n -> new TreeMap<>())
                .put(language, new Entry(data, 0));
    }

    void put(ResourceName type, ResourceName name, int language, Entry entry) {
        types.computeIfAbsent(type, t -> new TreeMap<>())
                .computeIfAbsent(name, n -> new TreeMap<>())
                .put(language, entry);
    }

    /** The data of one leaf, or null. */
    public byte[] get(ResourceName type, ResourceName name, int language) {
        Map<ResourceName, Map<Integer, Entry>> names = types.get(type);
        if (names == null) return null;
        Map<Integer, Entry> languages = names.get(name);
        if (languages == null) return null;
        Entry entry = languages.get(language);
        return entry == null ? null : entry.data.clone();
    }

    /** The names under a type, in directory order; empty when the type is absent. */
    public Map<ResourceName, Map<Integer, Entry>> namesOf(ResourceName type) {
        return types.getOrDefault(type, new TreeMap<>());
    }

    public void removeType(ResourceName type) {
        types.remove(type);
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof ResourceTree && types.equals(((ResourceTree) other).types);
    }

    @Override
    public int hashCode() {
        return types.hashCode();
    }
}
