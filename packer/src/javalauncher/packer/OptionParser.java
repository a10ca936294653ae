package javalauncher.packer;

import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.util.HashSet;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import javalauncher.packer.resources.VersionInfo;

/** Turns the command line into PackOptions; every error names the option and the fix. */
public final class OptionParser {
    private static final String IDENTIFIER = "[\\p{L}_$][\\p{L}\\p{N}_$]*";
    private static final String CLASS_NAME = IDENTIFIER + "(\\." + IDENTIFIER + ")*";
    private static final Set<String> REPEATABLE = Set.of("--jar", "--setting",
            "--file-association");
    private static final Set<String> FLAGS = Set.of("--help", "-h", "--64-bit", "--console",
            "--msi-remove-user-settings");
    private static final Set<String> VALUE_OPTIONS = Set.of("--name", "--jar", "--main-class",
            "--icon", "--version", "--company", "--description", "--runtime", "--setting",
            "--base-settings", "--upgrade-code", "--sign", "--password-env", "--timestamp-url",
            "--sign-ca", "--out", "--msi", "--msi-wxs", "--msi-scope", "--file-association");
    /** The executable's name is NAME + "64.exe", which must stay a short file name. */
    private static final int MAX_NAME_LENGTH = 100;

    private OptionParser() {}

    public static PackOptions parse(List<String> args) throws UsageException {
        PackOptions options = new PackOptions();
        Set<String> seen = new HashSet<>();
        for (int i = 0; i < args.size(); i++) {
            String arg = args.get(i);
            String option = arg;
            String value = null;
            int equals = arg.indexOf('=');
            if (arg.startsWith("--") && equals > 0) {
                option = arg.substring(0, equals);
                value = arg.substring(equals + 1);
            }
            if (!arg.startsWith("-")) {
                throw new UsageException("unexpected argument \"" + arg + "\": every input is"
                        + " given with an option, e.g. --jar " + arg + " (see --help)");
            }
            if (!seen.add(option) && !REPEATABLE.contains(option)) {
                throw new UsageException(option + " is given twice; give it once");
            }
            if (FLAGS.contains(option)) {
                if (value != null) throw new UsageException(option + " takes no value");
                if (option.equals("--64-bit")) {
                    options.allow64Bit = true;
                } else if (option.equals("--console")) {
                    options.console = true;
                } else if (option.equals("--msi-remove-user-settings")) {
                    options.msiRemoveUserSettings = true;
                } else {
                    options.help = true;
                }
                continue;
            }
            if (value == null) {
                if (i + 1 >= args.size()) {
                    throw new UsageException(option + " needs a value, e.g. "
                            + HelpText.exampleOf(option));
                }
                value = args.get(++i);
                if (isOption(value)) {
                    // "--name --jar x.jar": the value was forgotten, not meant to be "--jar".
                    throw new UsageException(option + " needs a value, but the next argument is"
                            + " the option " + value + "; e.g. " + HelpText.exampleOf(option));
                }
            }
            apply(options, option, value);
        }
        if (!options.help) checkComplete(options);
        return options;
    }

    private static void apply(PackOptions options, String option, String value)
            throws UsageException {
        switch (option) {
            case "--name":
                options.name = checkedName(value);
                break;
            case "--jar":
                options.jars.add(path(option, value));
                break;
            case "--main-class":
                if (!value.matches(CLASS_NAME)) {
                    throw new UsageException("--main-class \"" + value + "\": give the class's"
                            + " full name with dots, e.g. --main-class com.example.Main");
                }
                options.mainClass = value;
                break;
            case "--icon":
                options.icon = path(option, value);
                break;
            case "--version":
                try {
                    options.version = VersionInfo.parseVersion(value);
                } catch (IllegalArgumentException e) {
                    throw new UsageException("--version \"" + value + "\": " + e.getMessage()
                            + "; give up to four numbers separated by dots, e.g. "
                            + HelpText.exampleOf(option));
                }
                break;
            case "--company":
                options.company = value;
                break;
            case "--description":
                options.description = value;
                break;
            case "--runtime":
                options.runtime = path(option, value);
                break;
            case "--setting":
                options.settings.add(Setting.parse(value));
                break;
            case "--base-settings":
                options.baseSettings = path(option, value);
                break;
            case "--upgrade-code":
                options.upgradeCode = checkedGuid(value);
                break;
            case "--sign":
                options.signingKey = path(option, value);
                break;
            case "--password-env":
                if (!value.matches("[A-Za-z_][A-Za-z0-9_]*")) {
                    throw new UsageException("--password-env \"" + value + "\": give the name of"
                            + " an environment variable, e.g. --password-env SIGN_PASSWORD");
                }
                options.passwordVariable = value;
                break;
            case "--timestamp-url":
                if (!value.matches("https?://\\S+")) {
                    throw new UsageException("--timestamp-url \"" + value + "\": give an http or"
                            + " https address, e.g. --timestamp-url http://timestamp.example.com");
                }
                options.timestampUrl = value;
                break;
            case "--sign-ca":
                options.signingCa = path(option, value);
                break;
            case "--out":
                options.out = path(option, value);
                break;
            case "--msi":
                options.msi = path(option, value);
                break;
            case "--msi-wxs":
                options.msiWxs = path(option, value);
                break;
            case "--msi-scope":
                if (value.equals("user")) {
                    options.msiScope = WixSource.Scope.USER;
                } else if (value.equals("machine")) {
                    options.msiScope = WixSource.Scope.MACHINE;
                } else {
                    throw new UsageException("--msi-scope \"" + value + "\": give user (the"
                            + " default: no elevation, under %LOCALAPPDATA%\\Programs) or"
                            + " machine (Program Files, for every user)");
                }
                break;
            case "--file-association":
                options.fileAssociations.add(association(value));
                break;
            default:
                throw new UsageException("unknown option " + option + " (see --help)");
        }
    }

    private static void checkComplete(PackOptions options) throws UsageException {
        if (options.name == null) {
            throw new UsageException("--name is missing: name the application, e.g. --name MyApp");
        }
        if (options.jars.isEmpty()) {
            throw new UsageException("--jar is missing: give the application's jar, e.g."
                    + " --jar build/libs/app.jar");
        }
        if (options.out == null) {
            throw new UsageException("--out is missing: give the folder to create, e.g."
                    + " --out dist/" + options.name);
        }
        if (options.baseSettings != null && options.upgradeCode == null) {
            throw new UsageException("--base-settings needs --upgrade-code: the launcher finds"
                    + " the base settings by that code; make one GUID (e.g. with uuidgen) and"
                    + " keep it for every release");
        }
        checkInstaller(options);
        boolean signing = options.signingKey != null;
        if (!signing && (options.passwordVariable != null || options.timestampUrl != null
                || options.signingCa != null)) {
            throw new UsageException("--password-env, --timestamp-url and --sign-ca only"
                    + " apply together with --sign <key.pfx>");
        }
    }

    private static void checkInstaller(PackOptions options) throws UsageException {
        boolean installer = options.msi != null || options.msiWxs != null;
        if (!installer && (options.msiScope != WixSource.Scope.USER
                || options.msiRemoveUserSettings || !options.fileAssociations.isEmpty())) {
            throw new UsageException("--msi-scope, --msi-remove-user-settings and"
                    + " --file-association only apply together with --msi <installer.msi> (or"
                    + " --msi-wxs <installer.wxs>)");
        }
        if (!installer) return;
        String problem = WixSource.versionProblem(options.version);
        if (problem != null) {
            throw new UsageException("--version " + VersionInfo.format(options.version) + ": "
                    + problem + "; give a smaller version, e.g. --version 1.2.3");
        }
        if (options.msi != null && options.msiWxs != null
                && options.msi.toAbsolutePath().normalize()
                        .equals(options.msiWxs.toAbsolutePath().normalize())) {
            throw new UsageException("--msi and --msi-wxs name the same file; give two");
        }
        Path out = options.out.toAbsolutePath().normalize();
        for (Path file : new Path[] {options.msi, options.msiWxs}) {
            // A file in --out would be a foreign file to the next pack into it.
            if (file != null && file.toAbsolutePath().normalize().startsWith(out)) {
                throw new UsageException((file == options.msi ? "--msi " : "--msi-wxs ") + file
                        + " lies inside --out " + options.out + "; put it beside, e.g. --msi "
                        + options.out.resolveSibling(options.name + ".msi"));
            }
        }
        checkInstallerText("--name", options.name);
        checkInstallerText("--company", options.company);
        checkInstallerText("--description", options.description);
        for (Path jar : options.jars) {
            Path fileName = jar.getFileName();
            if (fileName != null) checkInstallerText("--jar", fileName.toString());
        }
        Set<String> extensions = new HashSet<>();
        for (WixSource.Association association : options.fileAssociations) {
            checkInstallerText("--file-association", association.description);
            if (!extensions.add(association.extension.toLowerCase(Locale.ROOT))) {
                throw new UsageException("--file-association ." + association.extension
                        + " is given twice; give each extension once");
            }
        }
    }

    private static void checkInstallerText(String option, String text) throws UsageException {
        String problem = text == null ? null : WixSource.textProblem(text);
        if (problem != null) {
            throw new UsageException(option + " \"" + text + "\": " + problem + "; change it"
                    + " for the installer, or leave --msi out");
        }
    }

    /** ".ext=Description": the file type the application opens, and what Explorer calls it. */
    private static WixSource.Association association(String value) throws UsageException {
        int equals = value.indexOf('=');
        String extension = equals < 0 ? value : value.substring(0, equals);
        String description = equals < 0 ? "" : value.substring(equals + 1).strip();
        if (extension.startsWith(".")) extension = extension.substring(1);
        if (!extension.matches("[A-Za-z0-9][A-Za-z0-9_-]{0,30}") || description.isEmpty()
                || description.length() > 200 || description.chars().anyMatch(c -> c < 32)) {
            throw new UsageException("--file-association \"" + value + "\": give the extension"
                    + " and what the files are, e.g. " + HelpText.exampleOf("--file-association"));
        }
        return new WixSource.Association(extension, description);
    }

    /** The name becomes file names on Windows (NAME.exe, NAME64.exe, NAME.ini). */
    private static String checkedName(String name) throws UsageException {
        String problem = WindowsNames.problemOf(name);
        if (problem == null && name.length() > MAX_NAME_LENGTH) {
            problem = "it is longer than " + MAX_NAME_LENGTH + " characters";
        }
        if (problem != null) {
            throw new UsageException("--name \"" + name + "\" cannot name a Windows file: "
                    + problem + "; choose another name, e.g. --name MyApp");
        }
        return name;
    }

    private static boolean isOption(String arg) {
        int equals = arg.indexOf('=');
        String option = arg.startsWith("--") && equals > 0 ? arg.substring(0, equals) : arg;
        return VALUE_OPTIONS.contains(option) || FLAGS.contains(option);
    }

    /** Upper case with braces, as the launcher's settings spell an upgrade code. */
    static String checkedGuid(String text) throws UsageException {
        String bare = text.startsWith("{") && text.endsWith("}")
                ? text.substring(1, text.length() - 1)
                : text;
        if (!bare.matches("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}"
                + "-[0-9A-Fa-f]{12}")) {
            throw new UsageException("--upgrade-code \"" + text + "\": give a GUID, e.g."
                    + " --upgrade-code {3F2504E0-4F89-11D3-9A0C-0305E82C3301}");
        }
        return "{" + bare.toUpperCase(Locale.ROOT) + "}";
    }

    private static Path path(String option, String value) throws UsageException {
        try {
            if (value.isEmpty()) throw new InvalidPathException(value, "empty");
            return Path.of(value);
        } catch (InvalidPathException e) {
            throw new UsageException(option + " \"" + value + "\": not a valid path");
        }
    }
}
