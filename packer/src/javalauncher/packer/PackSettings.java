package javalauncher.packer;

import java.util.ArrayList;
import java.util.List;
import java.util.Locale;

/**
 * The settings files of a pack. Both executables get the same settings (each reads the file of
 * its own name); the 32-bit one also gets the hand-over to its 64-bit pair when that is wanted.
 *
 * The launcher reads most values from the settings file over the base text built into the
 * executable, and a value in the file replaces the base value. So the packer writes a value
 * the base text sets only when the user asks for it (--setting, --main-class), and then says
 * so; its own defaults are written only where the base text is silent. "Product Information"
 * and "Display" are read from the file alone and are always the file's.
 */
final class PackSettings {
    static final String PRODUCT = "Product Information";
    static final String RUNTIME = "Java Runtime Environment";
    static final String CLASS_PATH = "Class Path";
    static final String APPLICATION = "Application";
    static final String DISPLAY = "Display";
    /** The sections the launcher reads through the base layer. */
    private static final List<String> LAYERED = List.of(RUNTIME, APPLICATION, CLASS_PATH);

    final SettingsFile main;
    final SettingsFile pair;
    /** Warnings and notes for the user, one sentence each. */
    final List<String> notes;

    private PackSettings(SettingsFile main, SettingsFile pair, List<String> notes) {
        this.main = main;
        this.pair = pair;
        this.notes = notes;
    }

    /** The --setting values as a settings file; the last of one key wins. */
    static SettingsFile userSettings(PackOptions options) throws UsageException {
        SettingsFile user = new SettingsFile();
        for (Setting setting : options.settings) {
            try {
                user.set(setting.section, setting.key, setting.value);
            } catch (IllegalArgumentException e) {
                throw new UsageException("--setting \"" + setting.section + "/" + setting.key
                        + "=...\": " + e.getMessage());
            }
        }
        return user;
    }

    /**
     * @param jarNames file names of the jars in lib\, class path order
     * @param runtime64Bit whether a bundled runtime is a 64-bit one
     */
    static PackSettings build(PackOptions options, BaseText base, LaunchTarget target,
            List<String> jarNames, boolean runtime64Bit) throws UsageException {
        List<String> notes = new ArrayList<>(checkBase(options, base));
        SettingsFile shared = userSettings(options);
        for (Setting setting : options.settings) {
            noteOverride(notes, options, base, "--setting \"" + setting.section + "/"
                    + setting.key + "=" + setting.value + "\"", setting.section, setting.key,
                    setting.value);
        }
        shared.setDefault(PRODUCT, "Product Name", options.name);
        if (options.upgradeCode != null) {
            shared.setDefault(PRODUCT, "Upgrade Code", options.upgradeCode);
            // The launcher finds the embedded base text by the code in the settings file.
            if (!shared.get(PRODUCT, "Upgrade Code").equalsIgnoreCase(options.upgradeCode)) {
                throw new UsageException("--setting \"" + PRODUCT + "/Upgrade Code=...\""
                        + " differs from --upgrade-code " + options.upgradeCode
                        + "; give the code once, with --upgrade-code");
            }
        }
        if (target.source == LaunchTarget.Source.OPTION) {
            shared.set(RUNTIME, LaunchTarget.MAIN_CLASS, target.mainClass);
            noteOverride(notes, options, base, "--main-class " + target.mainClass, RUNTIME,
                    LaunchTarget.MAIN_CLASS, target.mainClass);
        } else if (target.source == LaunchTarget.Source.MANIFEST) {
            shared.setDefault(RUNTIME, LaunchTarget.MAIN_CLASS, target.mainClass);
        }
        if (target.minimumJava != null) {
            shared.setDefault(RUNTIME, LaunchTarget.MINIMUM_VERSION, target.minimumJava);
        }
        // Without an upper bound the launcher would accept no installed runtime at all.
        setDefault(shared, base, RUNTIME, "Maximum Version", "any");
        String classPath = classPathOf(jarNames);
        setDefault(shared, base, CLASS_PATH, CLASS_PATH, classPath);
        noteForeignClassPath(notes, options, shared, base, jarNames, classPath);

        SettingsFile main = shared.copy();
        if (options.allow64Bit || runtime64Bit) {
            setDefault(main, base, APPLICATION, "Pair Product", options.name + "64.exe");
            setDefault(main, base, APPLICATION, "Pair Return Code", "Yes");
            // The pair's path is relative, and so is the runtime's below: both are meant from
            // the executable's folder, which this makes the current one.
            setDefault(main, base, APPLICATION, "Override WorkingDir", "Yes");
            if (runtime64Bit) {
                // A runtime found beside the executable is taken without a bitness check; one
                // named by "JRE Path" is checked and handed to the pair when it is 64-bit.
                setDefault(main, base, RUNTIME, "JRE Path", "jre");
            }
        }
        return new PackSettings(main, shared, notes);
    }

    /** The packer's own value, written only where neither the user nor the base text has one. */
    private static void setDefault(SettingsFile file, BaseText base, String section, String key,
            String value) {
        if (!base.sets(section, key)) file.setDefault(section, key, value);
    }

    private static void noteOverride(List<String> notes, PackOptions options, BaseText base,
            String what, String section, String key, String value) {
        // An empty value in the file lets the base value through, and the file-only sections
        // never see the base.
        if (value.isEmpty() || !isLayered(section)) return;
        String[] entry = base.findIgnoringCase(section, key);
        if (entry == null || entry[2].equals(value)) return;
        notes.add("note: " + what + " overrides \"" + entry[1] + "=" + entry[2] + "\" in ["
                + entry[0] + "] of --base-settings " + options.baseSettings);
    }

    /** Parts of the base text the launcher would never read. */
    private static List<String> checkBase(PackOptions options, BaseText base) {
        List<String> notes = new ArrayList<>();
        for (String section : base.sectionNames()) {
            String from = "[" + section + "] of --base-settings " + options.baseSettings;
            if (section.equalsIgnoreCase(PRODUCT) || section.equalsIgnoreCase(DISPLAY)) {
                notes.add("warning: " + from + " is not read: the launcher reads that section"
                        + " from " + options.name + ".ini alone; give its values with --setting");
                continue;
            }
            for (String layered : LAYERED) {
                if (section.equalsIgnoreCase(layered) && !section.equals(layered)) {
                    notes.add("warning: " + from + " is not read: the launcher looks up base"
                            + " sections in exact letter case; write [" + layered + "]");
                }
            }
        }
        return notes;
    }

    /** A class path from the base text may leave out jars the pack ships. */
    private static void noteForeignClassPath(List<String> notes, PackOptions options,
            SettingsFile shared, BaseText base, List<String> jarNames, String classPath) {
        if (shared.get(CLASS_PATH, CLASS_PATH) != null || !base.sets(CLASS_PATH, CLASS_PATH)) {
            return;
        }
        String used = base.get(CLASS_PATH, CLASS_PATH).toLowerCase(Locale.ROOT);
        for (String jar : jarNames) {
            if (!used.contains(jar.toLowerCase(Locale.ROOT))) {
                notes.add("note: the Class Path of --base-settings " + options.baseSettings
                        + " is used as it stands and does not name lib\\" + jar + "; the jars"
                        + " of this pack are " + classPath);
                return;
            }
        }
    }

    private static boolean isLayered(String section) {
        for (String layered : LAYERED) {
            if (layered.equalsIgnoreCase(section)) return true;
        }
        return false;
    }

    /** Entries with a leading backslash are looked up from the executable's folder. */
    static String classPathOf(List<String> jarNames) {
        StringBuilder classPath = new StringBuilder();
        for (String jar : jarNames) {
            if (classPath.length() > 0) classPath.append(';');
            classPath.append("\\lib\\").append(jar);
        }
        return classPath.toString();
    }
}
