package javalauncher.packer;

import java.nio.ByteBuffer;
import java.nio.charset.Charset;
import java.nio.charset.CharsetEncoder;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.TreeMap;
import java.util.UUID;

/**
 * The WiX source of an installer for a packed folder, in the part of WiX 3 that wixl builds.
 *
 * <p>One component per folder, its key path the folder's first file, rather than one per file:
 * a runtime has thousands of files, and the upgrade removes the old product before it installs
 * the new one (RemoveExistingProducts right after InstallValidate), so a folder's files may
 * change from release to release without breaking the rules components otherwise impose.
 * Component GUIDs are name-based UUIDs of the upgrade code, the scope and the folder's path, so
 * every build of a product gives a folder the same GUID, and repairs and upgrades see one
 * component. The product code is new in each build ("*"), which makes every build a major
 * upgrade of the ones before.
 */
final class WixSource {
    /** Per-user installs need no elevation; per-machine ones go to Program Files. */
    enum Scope { USER, MACHINE }

    /** A file type the application opens: ".ext" without the dot, and what Explorer calls it. */
    static final class Association {
        final String extension;
        final String description;

        Association(String extension, String description) {
            this.extension = extension;
            this.description = description;
        }
    }

    /** What the installer is for; files are the packed folder's, relative with "/". */
    static final class Product {
        String name;
        String manufacturer;
        int[] version;
        String upgradeCode;
        Scope scope = Scope.USER;
        boolean is64Bit;
        /** The executable the shortcut and associations start, a file of the root folder. */
        String mainExecutable;
        String description;
        List<String> files = new ArrayList<>();
        List<Association> associations = new ArrayList<>();
        /**
         * Where the launcher keeps a user's settings files (under %APPDATA%): the folders from
         * there, and the files; empty folders when the uninstall leaves them alone.
         */
        List<String> userSettingsFolders = new ArrayList<>();
        List<String> userSettingsFiles = new ArrayList<>();
    }

    /** A row of the RemoveFile table (wixl has no RemoveFile); a null file: the folder. */
    static String removeFileQuery(String key, String component, String fileName,
            String folderProperty) {
        if (fileName == null) {
            return "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`,"
                    + " `InstallMode`) VALUES ('" + key + "', '" + component + "', '"
                    + folderProperty + "', 2)";
        }
        return "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`,"
                + " `InstallMode`) VALUES ('" + key + "', '" + component + "', '"
                + fileName.replace("'", "''") + "', '" + folderProperty + "', 2)";
    }

    /** The defines wixl needs: where the packed folder is. */
    static final String SOURCE_DIR = "SourceDir";
    static final String ICON_ID = "ApplicationIcon.exe";
    private static final String INSTALL_FOLDER_VALUE = "Install Folder";

    static final String PLAIN_UNINSTALL = "REMOVE~=\"ALL\" AND NOT UPGRADINGPRODUCTCODE";

    final String text;
    /**
     * SQL for what wixl's WiX cannot say, run on the built package: the settings files and
     * folders an uninstall removes.
     */
    final List<String> queries;

    private WixSource(String text, List<String> queries) {
        this.text = text;
        this.queries = queries;
    }

    /** MSI product versions have three parts: major and minor up to 255, build up to 65535. */
    static String msiVersion(int[] version) {
        return version[0] + "." + version[1] + "." + version[2];
    }

    /** Why the version cannot be an installer's, or null. */
    static String versionProblem(int[] version) {
        if (version[0] > 255 || version[1] > 255) {
            return "an installer's version takes its first two numbers up to 255";
        }
        return null;
    }

    /**
     * The first version later than this one, as an installer compares them: a product of this
     * version is replaced too (the same version built again), a later one refuses the install.
     */
    static String nextVersion(int[] version) {
        if (version[2] < 65535) return version[0] + "." + version[1] + "." + (version[2] + 1);
        if (version[1] < 255) return version[0] + "." + (version[1] + 1) + ".0";
        if (version[0] < 255) return (version[0] + 1) + ".0.0";
        return null;
    }

    /**
     * Why wixl cannot carry text into a package, or null: it stores text in the Western
     * European code page (other characters crash it or vanish), and its preprocessor takes
     * any "$(" for a variable, with no escape.
     */
    static String textProblem(String text) {
        CharsetEncoder westernEuropean = Charset.forName("windows-1252").newEncoder();
        for (int i = 0; i < text.length(); ) {
            int c = text.codePointAt(i);
            String character = new String(Character.toChars(c));
            if (c < 32 || !westernEuropean.canEncode(character)) {
                return String.format("its character U+%04X is not one an installer built with"
                        + " wixl can hold (only Windows-1252 characters are)", c);
            }
            i += character.length();
        }
        if (text.contains("$(")) return "wixl would read its \"$(\" as a variable";
        return null;
    }

    /** A name-based (version 3) UUID of the upgrade code and a name, upper case with braces. */
    static String derivedGuid(String upgradeCode, String name) {
        UUID namespace = UUID.fromString(upgradeCode.replaceAll("[{}]", ""));
        byte[] nameBytes = name.getBytes(StandardCharsets.UTF_8);
        ByteBuffer bytes = ByteBuffer.allocate(16 + nameBytes.length);
        bytes.putLong(namespace.getMostSignificantBits());
        bytes.putLong(namespace.getLeastSignificantBits());
        bytes.put(nameBytes);
        return "{" + UUID.nameUUIDFromBytes(bytes.array()).toString().toUpperCase(Locale.ROOT)
                + "}";
    }

    /** A table key for a path: stable, and short enough for any MSI identifier. */
    private static String id(String prefix, String upgradeCode, String path) {
        return prefix + derivedGuid(upgradeCode, "id:" + path).replaceAll("[{}-]", "");
    }

    static WixSource of(Product product) {
        String guid = product.upgradeCode.replaceAll("[{}]", "");
        String scope = product.scope == Scope.USER ? "user" : "machine";
        String version = msiVersion(product.version);
        String next = nextVersion(product.version);
        String rootKey = "Software\\" + product.manufacturer + "\\" + product.name;
        String hive = product.scope == Scope.USER ? "HKCU" : "HKLM";
        XmlWriter xml = new XmlWriter();
        xml.line("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
        xml.comment("The installer of " + product.name + ", written by javalauncher-pack. Build it"
                + " with: wixl" + (product.is64Bit ? " -a x64" : "") + " -D " + SOURCE_DIR
                + "=<the packed folder, as a relative path> -o " + product.name + ".msi <this"
                + " file>");
        xml.open("Wix", "xmlns", "http://schemas.microsoft.com/wix/2006/wi");
        xml.open("Product", "Id", "*", "Name", product.name, "Language", "1033", "Version",
                version, "Manufacturer", product.manufacturer, "UpgradeCode", guid);
        xml.empty("Package", "InstallerVersion", "500", "Compressed", "yes", "InstallScope",
                product.scope == Scope.USER ? "perUser" : "perMachine", "Description",
                product.description, "Manufacturer", product.manufacturer);
        xml.empty("Media", "Id", "1", "Cabinet", "app.cab", "EmbedCab", "yes");
        // Earlier versions and this one built again are replaced; a later one stays and the
        // install stops with the message below.
        xml.open("Upgrade", "Id", guid);
        if (next == null) {
            xml.empty("UpgradeVersion", "Minimum", "0.0.0", "IncludeMinimum", "yes",
                    "Property", "OLDERFOUND");
        } else {
            xml.empty("UpgradeVersion", "Minimum", "0.0.0", "IncludeMinimum", "yes", "Maximum",
                    next, "IncludeMaximum", "no", "Property", "OLDERFOUND");
            xml.empty("UpgradeVersion", "Minimum", next, "IncludeMinimum", "yes", "OnlyDetect",
                    "yes", "Property", "NEWERFOUND");
        }
        xml.close("Upgrade");
        xml.element("Condition", "NOT NEWERFOUND", "Message", "A newer version of "
                + formatted(product.name) + " is already installed; uninstall it first to"
                + " install this older one.");
        // An upgrade goes where the installed version is, unless INSTALLDIR is given again:
        // the folder is remembered in the registry and read back before the folders are set.
        xml.open("Property", "Id", "REMEMBEREDINSTALLDIR");
        xml.empty("RegistrySearch", "Id", "RememberedInstallDir", "Root", hive, "Key",
                rootKey, "Name", INSTALL_FOLDER_VALUE, "Type", "raw", "Win64",
                win64(product));
        xml.close("Property");
        xml.empty("CustomAction", "Id", "UseRememberedInstallDir", "Property", "INSTALLDIR",
                "Value", "[REMEMBEREDINSTALLDIR]");
        boolean removeSettings = !product.userSettingsFolders.isEmpty();
        if (removeSettings) writeUserSettingsActions(xml, product);
        for (String sequence : new String[] {"InstallUISequence", "InstallExecuteSequence"}) {
            xml.open(sequence);
            // Right after AppSearch (50): wixl places "After" actions at the end.
            xml.element("Custom", "REMEMBEREDINSTALLDIR AND NOT INSTALLDIR", "Action",
                    "UseRememberedInstallDir", "Sequence", "51");
            if (sequence.equals("InstallExecuteSequence")) {
                xml.empty("RemoveExistingProducts", "After", "InstallValidate");
                if (removeSettings) {
                    // After InstallValidate (1400), where REMOVE is known; before RemoveFiles.
                    List<String> properties = userSettingsProperties(product);
                    for (int i = 0; i < properties.size(); i++) {
                        xml.element("Custom", PLAIN_UNINSTALL, "Action",
                                "Set" + properties.get(i), "Sequence", String.valueOf(1450 + i));
                    }
                }
            }
            xml.close(sequence);
        }
        xml.empty("Icon", "Id", ICON_ID, "SourceFile", source(product.mainExecutable));
        xml.empty("Property", "Id", "ARPPRODUCTICON", "Value", ICON_ID);
        xml.empty("Property", "Id", "ARPNOMODIFY", "Value", "1");

        List<String> components = new ArrayList<>();
        xml.open("Directory", "Id", "TARGETDIR", "Name", "SourceDir");
        if (product.scope == Scope.USER) {
            xml.open("Directory", "Id", "LocalAppDataFolder");
            xml.open("Directory", "Id", "UserProgramsFolder", "Name", "Programs");
        } else {
            xml.open("Directory", "Id",
                    product.is64Bit ? "ProgramFiles64Folder" : "ProgramFilesFolder");
        }
        xml.open("Directory", "Id", "INSTALLDIR", "Name", product.name);
        Folder root = Folder.of(product.files);
        writeFolder(xml, product, root, "", scope, components);
        xml.close("Directory");
        if (product.scope == Scope.USER) xml.close("Directory");
        xml.close("Directory");

        // The shortcut's component needs a key path of its own: a registry value.
        xml.open("Directory", "Id", "ProgramMenuFolder");
        String shortcutComponent = "StartMenuShortcut";
        xml.open("Component", "Id", shortcutComponent, "Guid",
                bare(derivedGuid(product.upgradeCode, "shortcut:" + scope)), "Win64",
                win64(product));
        xml.empty("Shortcut", "Id", "ApplicationShortcut", "Name", product.name, "Description",
                product.description, "Target",
                "[INSTALLDIR]" + formatted(product.mainExecutable), "WorkingDirectory",
                "INSTALLDIR");
        xml.empty("RegistryValue", "Root", hive, "Key", formatted(rootKey), "Name",
                "Start Menu Shortcut", "Type", "integer", "Value", "1", "KeyPath", "yes");
        xml.empty("RegistryValue", "Root", hive, "Key", formatted(rootKey), "Name",
                INSTALL_FOLDER_VALUE, "Type", "string", "Value", "[INSTALLDIR]");
        xml.close("Component");
        components.add(shortcutComponent);
        xml.close("Directory");

        List<String> queries = new ArrayList<>();
        if (removeSettings) {
            writeUserSettings(xml, product, scope, hive, rootKey, components, queries);
        }
        xml.close("Directory");

        xml.open("Feature", "Id", "Application", "Title", product.name, "Level", "1");
        for (String component : components) xml.empty("ComponentRef", "Id", component);
        xml.close("Feature");
        xml.close("Product");
        xml.close("Wix");
        return new WixSource(xml.toString(), queries);
    }

    /**
     * A folder's component, then its subfolders'. A folder of folders only (jre\) gets none:
     * a component of its own would remove it (RemoveFolders) only after the folders above it
     * were tried (RemoveFiles), and leave them; as it is, the installer removes it with the
     * last component below it.
     */
    private static void writeFolder(XmlWriter xml, Product product, Folder folder, String path,
            String scope, List<String> components) {
        if (!folder.files.isEmpty()) {
            String component = id("c", product.upgradeCode, "folder:" + path);
            xml.open("Component", "Id", component, "Guid",
                    bare(derivedGuid(product.upgradeCode, "folder:" + scope + ":" + path)),
                    "Win64", win64(product));
            boolean first = true;
            for (String file : folder.files) {
                String relative = path.isEmpty() ? file : path + "/" + file;
                xml.empty("File", "Id", fileId(product, relative), "Name", file, "Source",
                        source(relative), "KeyPath", first ? "yes" : null);
                first = false;
            }
            // Removes the folder on uninstall once empty; files the application wrote keep it.
            xml.empty("RemoveFolder", "Id", id("r", product.upgradeCode, "folder:" + path),
                    "On", "uninstall");
            if (path.isEmpty()) writeAssociations(xml, product, scope);
            xml.close("Component");
            components.add(component);
        }
        for (Map.Entry<String, Folder> sub : folder.folders.entrySet()) {
            String subPath = path.isEmpty() ? sub.getKey() : path + "/" + sub.getKey();
            String subId = id("d", product.upgradeCode, subPath);
            xml.open("Directory", "Id", subId, "Name", sub.getKey());
            writeFolder(xml, product, sub.getValue(), subPath, scope, components);
            xml.close("Directory");
        }
    }

    private static String fileId(Product product, String relative) {
        return id("f", product.upgradeCode, "file:" + relative);
    }

    /**
     * Written as plain registry values under Software\Classes of the scope's hive: wixl's ProgId
     * has no icon, and HKCR would leave the hive to the installer's guess.
     */
    private static void writeAssociations(XmlWriter xml, Product product, String scope) {
        String hive = scope.equals("user") ? "HKCU" : "HKLM";
        String exe = "[#" + fileId(product, product.mainExecutable) + "]";
        for (Association association : product.associations) {
            String progId = progIdOf(product.name, association.extension);
            String classes = "Software\\Classes\\";
            String extensionKey = classes + "." + association.extension;
            registry(xml, hive, extensionKey, null, progId);
            registry(xml, hive, extensionKey + "\\OpenWithProgids", progId, "");
            registry(xml, hive, classes + progId, null, formatted(association.description));
            registry(xml, hive, classes + progId + "\\DefaultIcon", null, exe + ",0");
            registry(xml, hive, classes + progId + "\\shell\\open\\command", null,
                    "\"" + exe + "\" \"%1\"");
        }
    }

    /** "MyApp.txt": a ProgID is letters, digits and dots, at most 39 characters. */
    static String progIdOf(String name, String extension) {
        String clean = name.replaceAll("[^A-Za-z0-9]", "");
        if (clean.isEmpty() || !Character.isLetter(clean.charAt(0))) clean = "App" + clean;
        String ext = extension.replaceAll("[^A-Za-z0-9]", "");
        String progId = clean + "." + ext;
        return progId.length() <= 39 ? progId : clean.substring(0, 38 - ext.length()) + "." + ext;
    }

    private static void registry(XmlWriter xml, String hive, String key, String name,
            String value) {
        xml.empty("RegistryValue", "Root", hive, "Key", key, "Name", name, "Type", "string",
                "Value", value);
    }

    /**
     * The user's settings files, removed on uninstall. A major upgrade uninstalls the older
     * version too, where they must stay, and a component's condition cannot keep it from being
     * removed. So the rows name their folders by properties that only a plain uninstall sets
     * (UPGRADINGPRODUCTCODE marks one run by an upgrade), and a row whose property is empty
     * removes nothing. Only the uninstalling user's profile is reached.
     */
    private static void writeUserSettings(XmlWriter xml, Product product, String scope,
            String hive, String rootKey, List<String> components, List<String> queries) {
        String component = "UserSettings";
        xml.open("Component", "Id", component, "Guid",
                bare(derivedGuid(product.upgradeCode, "settings:" + scope)), "Win64",
                win64(product));
        xml.empty("RegistryValue", "Root", hive, "Key", formatted(rootKey), "Name",
                "Remove User Settings", "Type", "integer", "Value", "1", "KeyPath", "yes");
        xml.close("Component");
        components.add(component);
        // The deepest folder first: a folder goes only once empty.
        List<String> properties = userSettingsProperties(product);
        for (int i = properties.size() - 1; i >= 0; i--) {
            if (i == properties.size() - 1) {
                for (String file : product.userSettingsFiles) {
                    queries.add(removeFileQuery(id("x", product.upgradeCode, "settings-file:"
                            + i + "/" + file), component, file, properties.get(i)));
                }
            }
            queries.add(removeFileQuery(id("x", product.upgradeCode, "settings-folder:" + i),
                    component, null, properties.get(i)));
        }
        for (String query : queries) {
            xml.comment("after wixl: msibuild PACKAGE -q \"" + query + "\"");
        }
    }

    /** USERSETTINGS0 for the product's folder, USERSETTINGS1 for the code's inside it. */
    private static List<String> userSettingsProperties(Product product) {
        List<String> properties = new ArrayList<>();
        for (int i = 0; i < product.userSettingsFolders.size(); i++) {
            properties.add("USERSETTINGS" + i);
        }
        return properties;
    }

    /** Sets the folders' properties, in a plain uninstall only. */
    private static void writeUserSettingsActions(XmlWriter xml, Product product) {
        String path = "[AppDataFolder]";
        List<String> properties = userSettingsProperties(product);
        for (int i = 0; i < properties.size(); i++) {
            path += formatted(product.userSettingsFolders.get(i)) + "\\";
            xml.empty("CustomAction", "Id", "Set" + properties.get(i), "Property",
                    properties.get(i), "Value", path);
        }
    }

    /** A 64-bit pack's components write the 64-bit registry view, as the executables read. */
    private static String win64(Product product) {
        return product.is64Bit ? "yes" : null;
    }

    private static String source(String relative) {
        return "$(var." + SOURCE_DIR + ")/" + relative;
    }

    private static String bare(String guid) {
        return guid.substring(1, guid.length() - 1);
    }

    /** Text for a formatted column: "[" and "]" would otherwise name properties. */
    static String formatted(String text) {
        StringBuilder out = new StringBuilder();
        for (char c : text.toCharArray()) {
            if (c == '[') {
                out.append("[\\[]");
            } else if (c == ']') {
                out.append("[\\]]");
            } else {
                out.append(c);
            }
        }
        return out.toString();
    }

    /** The packed files as a tree of folders, names sorted so the source is the same each time. */
    private static final class Folder {
        final List<String> files = new ArrayList<>();
        final Map<String, Folder> folders = new TreeMap<>();

        static Folder of(List<String> paths) {
            Folder root = new Folder();
            List<String> sorted = new ArrayList<>(paths);
            sorted.sort(null);
            for (String path : sorted) {
                String[] parts = path.split("/");
                Folder folder = root;
                for (int i = 0; i < parts.length - 1; i++) {
                    folder = folder.folders.computeIfAbsent(parts[i], k -> new Folder());
                }
                folder.files.add(parts[parts.length - 1]);
            }
            return root;
        }
    }

    /** Just enough XML: elements with attributes in the order given, escaped, indented. */
    private static final class XmlWriter {
        private final StringBuilder out = new StringBuilder();
        private int depth;

        void line(String text) {
            out.append("  ".repeat(depth)).append(text).append('\n');
        }

        void comment(String text) {
            line("<!-- " + text.replace("--", "- -") + " -->");
        }

        void open(String name, String... attributes) {
            line("<" + name + attributes(attributes) + ">");
            depth++;
        }

        void empty(String name, String... attributes) {
            line("<" + name + attributes(attributes) + "/>");
        }

        void element(String name, String content, String... attributes) {
            line("<" + name + attributes(attributes) + ">" + escape(content) + "</" + name + ">");
        }

        void close(String name) {
            depth--;
            line("</" + name + ">");
        }

        /** Pairs of name and value; a null value leaves the attribute out. */
        private static String attributes(String... pairs) {
            StringBuilder text = new StringBuilder();
            for (int i = 0; i < pairs.length; i += 2) {
                if (pairs[i + 1] == null) continue;
                text.append(' ').append(pairs[i]).append("=\"").append(escape(pairs[i + 1]))
                        .append('"');
            }
            return text.toString();
        }

        static String escape(String text) {
            return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
                    .replace("\"", "&quot;");
        }

        @Override
        public String toString() {
            return out.toString();
        }
    }
}
