package javalauncher.packer;

import java.util.List;

/**
 * The settings files of a pack. Both executables get the same settings (each reads the file of
 * its own name); the 32-bit one also gets the hand-over to its 64-bit pair when that is wanted.
 * What the user gives with --setting always wins over what the packer would write.
 */
final class PackSettings {
    static final String PRODUCT = "Product Information";
    static final String RUNTIME = "Java Runtime Environment";
    static final String CLASS_PATH = "Class Path";
    static final String APPLICATION = "Application";

    final SettingsFile main;
    final SettingsFile pair;

    private PackSettings(SettingsFile main, SettingsFile pair) {
        this.main = main;
        this.pair = pair;
    }

    /**
     * @param jarNames file names of the jars in lib\, class path order
     * @param minimumJava the oldest Java that runs the main class, in the launcher's spelling
     * @param runtime64Bit whether a bundled runtime is a 64-bit one
     */
    static PackSettings build(PackOptions options, String mainClass, String minimumJava,
            List<String> jarNames, boolean runtime64Bit) throws UsageException {
        SettingsFile shared = new SettingsFile();
        for (Setting setting : options.settings) {
            try {
                shared.set(setting.section, setting.key, setting.value);
            } catch (IllegalArgumentException e) {
                throw new UsageException("--setting \"" + setting.section + "/" + setting.key
                        + "=...\": " + e.getMessage());
            }
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
        shared.setDefault(RUNTIME, "Main Class", mainClass);
        shared.setDefault(RUNTIME, "Minimum Version", minimumJava);
        // Without an upper bound the launcher would accept no installed runtime at all.
        shared.setDefault(RUNTIME, "Maximum Version", "any");
        shared.setDefault(CLASS_PATH, CLASS_PATH, classPathOf(jarNames));

        SettingsFile main = shared.copy();
        if (options.allow64Bit || runtime64Bit) {
            main.setDefault(APPLICATION, "Pair Product", options.name + "64.exe");
            main.setDefault(APPLICATION, "Pair Return Code", "Yes");
            // The pair's path is relative, and so is the runtime's below: both are meant from
            // the executable's folder, which this makes the current one.
            main.setDefault(APPLICATION, "Override WorkingDir", "Yes");
            if (runtime64Bit) {
                // A runtime found beside the executable is taken without a bitness check; one
                // named by "JRE Path" is checked and handed to the pair when it is 64-bit.
                main.setDefault(RUNTIME, "JRE Path", "jre");
            }
        }
        return new PackSettings(main, shared);
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
