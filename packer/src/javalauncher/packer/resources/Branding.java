package javalauncher.packer.resources;

import java.nio.charset.StandardCharsets;
import java.util.HashSet;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import javalauncher.packer.pe.LittleEndian;
import javalauncher.packer.pe.ResourceName;
import javalauncher.packer.pe.ResourceTree;

/** The edits the packer makes to an executable's resources. */
public final class Branding {
    public static final ResourceName BASE_SETTINGS_TYPE = ResourceName.of("BASESETTINGS");
    private static final ResourceName ICON = ResourceName.of(ResourceTree.TYPE_ICON);
    private static final ResourceName GROUP_ICON = ResourceName.of(ResourceTree.TYPE_GROUP_ICON);
    private static final ResourceName VERSION = ResourceName.of(ResourceTree.TYPE_VERSION);
    private static final int GROUP_HEADER_SIZE = 6;
    private static final int GROUP_ENTRY_SIZE = 14;

    private Branding() {}

    /**
     * Replaces the first icon group (the one Explorer shows and the launcher's own windows
     * use) with all images of the icon file. The images it referred to go too; other groups
     * and their images stay.
     */
    public static void setIcon(ResourceTree tree, IconFile icon) {
        Map<ResourceName, Map<Integer, ResourceTree.Entry>> groups = tree.namesOf(GROUP_ICON);
        ResourceName groupName = ResourceName.of(1);
        int language = 0;
        if (!groups.isEmpty()) {
            Map.Entry<ResourceName, Map<Integer, ResourceTree.Entry>> first =
                    groups.entrySet().iterator().next();
            groupName = first.getKey();
            language = first.getValue().keySet().iterator().next();
            for (ResourceTree.Entry entry : first.getValue().values()) {
                for (int id : iconIdsOf(entry.data)) {
                    tree.namesOf(ICON).remove(ResourceName.of(id));
                }
            }
            groups.remove(groupName);
        }
        int nextId = 1;
        for (ResourceName name : tree.namesOf(ICON).keySet()) {
            if (!name.isString()) nextId = Math.max(nextId, name.id() + 1);
        }
        if (nextId + icon.images.size() > 0xFFFF) {
            throw new IllegalArgumentException("the executable has no free icon numbers left");
        }
        byte[] group = new byte[GROUP_HEADER_SIZE + GROUP_ENTRY_SIZE * icon.images.size()];
        LittleEndian.put16(group, 2, 1);
        LittleEndian.put16(group, 4, icon.images.size());
        for (int i = 0; i < icon.images.size(); i++) {
            IconFile.Image image = icon.images.get(i);
            int id = nextId + i;
            tree.put(ICON, ResourceName.of(id), language, image.data);
            int at = GROUP_HEADER_SIZE + GROUP_ENTRY_SIZE * i;
            group[at] = (byte) image.width;
            group[at + 1] = (byte) image.height;
            group[at + 2] = (byte) image.colorCount;
            LittleEndian.put16(group, at + 4, image.planes);
            LittleEndian.put16(group, at + 6, image.bitCount);
            LittleEndian.put32(group, at + 8, image.data.length);
            LittleEndian.put16(group, at + 12, id);
        }
        tree.put(GROUP_ICON, groupName, language, group);
        if (tree.namesOf(ICON).isEmpty()) tree.removeType(ICON);
    }

    /** The icon numbers a group lists; a malformed group lists none. */
    static Set<Integer> iconIdsOf(byte[] group) {
        Set<Integer> ids = new HashSet<>();
        if (group.length < GROUP_HEADER_SIZE) return ids;
        int count = LittleEndian.get16(group, 4);
        for (int i = 0; i < count; i++) {
            int at = GROUP_HEADER_SIZE + GROUP_ENTRY_SIZE * i;
            if (at + GROUP_ENTRY_SIZE > group.length) break;
            ids.add(LittleEndian.get16(group, at + 12));
        }
        return ids;
    }

    /** Replaces any version resource with this one (name 1, U.S. English). */
    public static void setVersion(ResourceTree tree, VersionInfo version) {
        tree.removeType(VERSION);
        tree.put(VERSION, ResourceName.of(1), VersionInfo.LANGUAGE, version.toBytes());
    }

    /**
     * Stores the base settings text under the upgrade code, replacing any base text an
     * earlier pack left: UTF-16LE with a byte-order mark, language neutral. The launcher
     * splits the text at CR LF only, so other line ends (a file saved on Linux) are turned
     * into CR LF; without that the whole text would read as one line and give no settings.
     */
    public static void setBaseSettings(ResourceTree tree, String upgradeCode, String text) {
        tree.removeType(BASE_SETTINGS_TYPE);
        String lines = text.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
        byte[] body = lines.getBytes(StandardCharsets.UTF_16LE);
        byte[] data = new byte[body.length + 2];
        data[0] = (byte) 0xFF;
        data[1] = (byte) 0xFE;
        System.arraycopy(body, 0, data, 2, body.length);
        tree.put(BASE_SETTINGS_TYPE, ResourceName.of(upgradeCode.toUpperCase(Locale.ROOT)), 0,
                data);
    }
}
