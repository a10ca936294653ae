package javalauncher.packer.pe;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Lays a ResourceTree out as a resource section placed at a given address: all directories
 * first (root, types, names), then the data entries, the name strings and finally the data,
 * each blob on an 8-byte boundary.
 */
final class ResourceWriter {
    private static final long SUBDIRECTORY_FLAG = 0x80000000L;
    private static final int DATA_ALIGNMENT = 8;

    private ResourceWriter() {}

    static byte[] write(ResourceTree tree, long sectionRva) {
        Map<ResourceName, Map<ResourceName, Map<Integer, ResourceTree.Entry>>> types =
                tree.types();

        // Offsets of every directory, data entry and string, in the order they are written.
        int offset = directorySize(types.size());
        List<Integer> typeDirectories = new ArrayList<>();
        for (Map<ResourceName, Map<Integer, ResourceTree.Entry>> names : types.values()) {
            typeDirectories.add(offset);
            offset += directorySize(names.size());
        }
        List<Integer> nameDirectories = new ArrayList<>();
        for (Map<ResourceName, Map<Integer, ResourceTree.Entry>> names : types.values()) {
            for (Map<Integer, ResourceTree.Entry> languages : names.values()) {
                nameDirectories.add(offset);
                offset += directorySize(languages.size());
            }
        }
        List<ResourceTree.Entry> leaves = new ArrayList<>();
        for (Map<ResourceName, Map<Integer, ResourceTree.Entry>> names : types.values()) {
            for (Map<Integer, ResourceTree.Entry> languages : names.values()) {
                leaves.addAll(languages.values());
            }
        }
        int dataEntries = offset;
        offset += 16 * leaves.size();
        Map<String, Integer> strings = new LinkedHashMap<>();
        for (Map.Entry<ResourceName, Map<ResourceName, Map<Integer, ResourceTree.Entry>>> type :
                types.entrySet()) {
            offset = addString(strings, type.getKey(), offset);
            for (ResourceName name : type.getValue().keySet()) {
                offset = addString(strings, name, offset);
            }
        }
        List<Integer> dataOffsets = new ArrayList<>();
        for (ResourceTree.Entry leaf : leaves) {
            offset = align(offset, DATA_ALIGNMENT);
            dataOffsets.add(offset);
            offset += leaf.data.length;
        }

        byte[] out = new byte[offset];
        int typeIndex = 0;
        int nameIndex = 0;
        int leafIndex = 0;
        List<Long> rootTargets = new ArrayList<>();
        for (Map<ResourceName, Map<Integer, ResourceTree.Entry>> names : types.values()) {
            int typeDirectory = typeDirectories.get(typeIndex++);
            rootTargets.add(typeDirectory | SUBDIRECTORY_FLAG);
            List<Long> nameTargets = new ArrayList<>();
            for (Map<Integer, ResourceTree.Entry> languages : names.values()) {
                int nameDirectory = nameDirectories.get(nameIndex++);
                nameTargets.add(nameDirectory | SUBDIRECTORY_FLAG);
                List<Long> languageTargets = new ArrayList<>();
                List<ResourceName> languageNames = new ArrayList<>();
                for (Map.Entry<Integer, ResourceTree.Entry> language : languages.entrySet()) {
                    int entry = dataEntries + 16 * leafIndex;
                    int data = dataOffsets.get(leafIndex++);
                    ResourceTree.Entry leaf = language.getValue();
                    LittleEndian.put32(out, entry, sectionRva + data);
                    LittleEndian.put32(out, entry + 4, leaf.data.length);
                    LittleEndian.put32(out, entry + 8, leaf.codePage);
                    System.arraycopy(leaf.data, 0, out, data, leaf.data.length);
                    languageTargets.add((long) entry);
                    languageNames.add(ResourceName.of(language.getKey()));
                }
                writeDirectory(out, nameDirectory, languageNames, languageTargets, strings);
            }
            writeDirectory(out, typeDirectory, new ArrayList<>(names.keySet()), nameTargets,
                    strings);
        }
        writeDirectory(out, 0, new ArrayList<>(types.keySet()), rootTargets, strings);
        return out;
    }

    private static int directorySize(int entries) {
        return 16 + 8 * entries;
    }

    private static int align(int value, int alignment) {
        return (value + alignment - 1) / alignment * alignment;
    }

    private static int addString(Map<String, Integer> strings, ResourceName name, int offset) {
        if (!name.isString() || strings.containsKey(name.text())) return offset;
        strings.put(name.text(), offset);
        return offset + 2 + 2 * name.text().length();
    }

    /** Names arrive sorted (strings first); the header counts the two kinds apart. */
    private static void writeDirectory(byte[] out, int at, List<ResourceName> names,
            List<Long> targets, Map<String, Integer> strings) {
        int named = 0;
        for (ResourceName name : names) {
            if (name.isString()) named++;
        }
        LittleEndian.put16(out, at + 12, named);
        LittleEndian.put16(out, at + 14, names.size() - named);
        for (int i = 0; i < names.size(); i++) {
            int entry = at + 16 + 8 * i;
            ResourceName name = names.get(i);
            if (name.isString()) {
                int stringAt = strings.get(name.text());
                LittleEndian.put32(out, entry, stringAt | SUBDIRECTORY_FLAG);
                LittleEndian.put16(out, stringAt, name.text().length());
                byte[] text = name.text().getBytes(StandardCharsets.UTF_16LE);
                System.arraycopy(text, 0, out, stringAt + 2, text.length);
            } else {
                LittleEndian.put32(out, entry, name.id());
            }
            LittleEndian.put32(out, entry + 4, targets.get(i));
        }
    }
}
