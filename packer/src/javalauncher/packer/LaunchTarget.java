package javalauncher.packer;

import java.nio.file.Path;
import java.util.List;

/**
 * The class the launcher will start and the oldest Java that runs it. The class is the one the
 * settings will name: a --setting, else --main-class, else the base settings, else the first
 * jar's manifest. The Java version is derived only when neither a --setting nor the base text
 * gives "Minimum Version".
 */
final class LaunchTarget {
    enum Source { SETTING, OPTION, BASE, MANIFEST }

    static final String MAIN_CLASS = "Main Class";
    static final String MINIMUM_VERSION = "Minimum Version";
    /** Java 1.0 and 1.1 wrote class files of this version; none older exists. */
    static final int JAVA_1_1_MAJOR = 45;
    /** Java 25, the newest Java this packer knows of. */
    static final int NEWEST_KNOWN_MAJOR = 69;

    final String mainClass;
    final Source source;
    /** The launcher's spelling of the oldest Java to accept; null when not the packer's to say. */
    final String minimumJava;

    private LaunchTarget(String mainClass, Source source, String minimumJava) {
        this.mainClass = mainClass;
        this.source = source;
        this.minimumJava = minimumJava;
    }

    /** @param user the --setting values; @param notes receives warnings for the user */
    static LaunchTarget resolve(PackOptions options, SettingsFile user, BaseText base,
            List<String> notes) throws PackException {
        String runtime = PackSettings.RUNTIME;
        String mainClass = user.get(runtime, MAIN_CLASS);
        Source source = Source.SETTING;
        if (mainClass != null && mainClass.isEmpty()) {
            // An empty value in the file lets the base value through; without one the
            // launcher has no class to start.
            if (!base.sets(runtime, MAIN_CLASS)) {
                throw new UsageException("--setting \"" + runtime + "/" + MAIN_CLASS + "=\""
                        + " leaves the launcher without a main class; give the class's name");
            }
            mainClass = null;
        }
        if (mainClass == null && user.get(runtime, MAIN_CLASS) == null) {
            mainClass = options.mainClass;
            source = Source.OPTION;
        }
        if (mainClass == null && base.sets(runtime, MAIN_CLASS)) {
            mainClass = base.get(runtime, MAIN_CLASS);
            source = Source.BASE;
        }
        if (mainClass == null) {
            Path first = options.jars.get(0);
            mainClass = JarInspector.manifestMainClass(first);
            source = Source.MANIFEST;
            if (mainClass == null) {
                throw new PackException("no --main-class given, and the manifest of " + first
                        + " names no Main-Class: add --main-class com.example.Main");
            }
        }
        boolean derive = user.get(runtime, MINIMUM_VERSION) == null
                && !base.sets(runtime, MINIMUM_VERSION);
        int version = mainClass.isEmpty() ? -1
                : JarInspector.classFileVersion(options.jars, mainClass);
        boolean mustBeInAJar = source == Source.OPTION || source == Source.MANIFEST;
        if (version < 0 && (mustBeInAJar || derive)) {
            throw new PackException(describe(source, mainClass, options) + ": no jar given holds "
                    + mainClass.replace('.', '/') + ".class; check the name or add its jar"
                    + (mustBeInAJar ? "" : ", or give the oldest Java it needs with --setting \""
                            + runtime + "/" + MINIMUM_VERSION + "=11\""));
        }
        String minimumJava = derive ? minimumJavaFor(version, mainClass, notes) : null;
        return new LaunchTarget(mainClass, source, minimumJava);
    }

    /**
     * The launcher's spelling of the oldest Java that runs a class file version. The launcher
     * starts runtimes through jvm.dll, which came with Java 1.2, so nothing older is asked for.
     */
    static String minimumJavaFor(int major, String mainClass, List<String> notes)
            throws PackException {
        String where = mainClass.replace('.', '/') + ".class";
        if (major < JAVA_1_1_MAJOR) {
            throw new PackException(where + " has the class file version " + major
                    + ", which no Java ever wrote; the class file is damaged, or give the"
                    + " oldest Java it needs with --setting \"" + PackSettings.RUNTIME + "/"
                    + MINIMUM_VERSION + "=1.8\"");
        }
        if (major == JAVA_1_1_MAJOR) {
            notes.add("warning: " + where + " was compiled for Java 1.1; the launcher starts"
                    + " Java 1.2 or later, so \"" + MINIMUM_VERSION + "\" is 1.2");
            return "1.2";
        }
        String java = JarInspector.javaVersionFor(major);
        if (major > NEWEST_KNOWN_MAJOR) {
            notes.add("warning: " + where + " has the class file version " + major + ", of Java "
                    + java + ", newer than any Java this packer knows (the newest is "
                    + JarInspector.javaVersionFor(NEWEST_KNOWN_MAJOR) + "); the launcher will"
                    + " ask for Java " + java + " or later. If that is wrong, give the version"
                    + " with --setting \"" + PackSettings.RUNTIME + "/" + MINIMUM_VERSION
                    + "=...\"");
        }
        return java;
    }

    private static String describe(Source source, String mainClass, PackOptions options) {
        switch (source) {
            case SETTING:
                return "--setting \"" + PackSettings.RUNTIME + "/" + MAIN_CLASS + "=" + mainClass
                        + "\"";
            case OPTION:
                return "--main-class " + mainClass;
            case BASE:
                return "the Main Class " + mainClass + " of --base-settings "
                        + options.baseSettings;
            default:
                return "the Main-Class " + mainClass + " of " + options.jars.get(0)
                        + "'s manifest";
        }
    }
}
