package javalauncher.packer;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * One application folder to pack, checked like the command line: a build tool makes one with
 * {@link #builder()} and hands it to {@link Packer#pack(PackRequest)}.
 *
 * <pre>{@code
 * PackRequest request = PackRequest.builder()
 *         .name("MyApp")
 *         .jar(Path.of("target/app.jar"))
 *         .jar(Path.of("target/lib/dep.jar"))
 *         .version("1.2.3")
 *         .out(Path.of("target/MyApp"))
 *         .build();
 * Packer.pack(request, note -> log.warn(note));
 * }</pre>
 *
 * <p>Each setter stands for the command-line option of the same name (see {@code --help});
 * giving null leaves the option out, giving a single-valued option again replaces it. The
 * request is checked by the command line's own parser, so a build tool reports exactly what
 * {@code java -jar javalauncher-pack.jar} would, and {@link #arguments()} is a command line
 * that packs the same folder.
 */
public final class PackRequest {
    final PackOptions options;
    private final List<String> arguments;

    private PackRequest(PackOptions options, List<String> arguments) {
        this.options = options;
        this.arguments = Collections.unmodifiableList(arguments);
    }

    /** Starts an empty request; name, at least one jar and out are required. */
    public static Builder builder() {
        return new Builder();
    }

    /** The command-line arguments that pack the same folder (never a password). */
    public List<String> arguments() {
        return arguments;
    }

    /** The application's name, as --name gave it. */
    public String name() {
        return options.name;
    }

    /** The installer to build, as --msi gave it; null for none. */
    public Path msi() {
        return options.msi;
    }

    /** The folder the pack goes to, as --out gave it. */
    public Path out() {
        return options.out;
    }

    /** Collects the options of a request; {@link #build()} checks them. */
    public static final class Builder {
        // Option name to value, in the order first given; the command line is made from them.
        private final Map<String, String> single = new LinkedHashMap<>();
        private final List<String> jars = new ArrayList<>();
        private final List<String> settings = new ArrayList<>();
        private final List<String> fileAssociations = new ArrayList<>();
        private boolean allow64Bit;
        private boolean console;
        private boolean msiRemoveUserSettings;
        private String password;

        private Builder() {}

        private Builder put(String option, Object value) {
            if (value == null) {
                single.remove(option);
            } else {
                single.put(option, value.toString());
            }
            return this;
        }

        /** --name: the executables' and settings files' name. */
        public Builder name(String name) {
            return put("--name", name);
        }

        /** --jar, once per jar: the first is the application's, all go on the class path. */
        public Builder jar(Path jar) {
            if (jar != null) jars.add(jar.toString());
            return this;
        }

        /** --main-class; without it the first jar's manifest names the main class. */
        public Builder mainClass(String mainClass) {
            return put("--main-class", mainClass);
        }

        /** --icon: a Windows .ico file. */
        public Builder icon(Path icon) {
            return put("--icon", icon);
        }

        /** --version: up to four numbers from 0 to 65535 separated by dots. */
        public Builder version(String version) {
            return put("--version", version);
        }

        /** --company: the company name in the version information. */
        public Builder company(String company) {
            return put("--company", company);
        }

        /** --description: the file description in the version information. */
        public Builder description(String description) {
            return put("--description", description);
        }

        /** --runtime: a Windows Java runtime folder to bundle as jre\. */
        public Builder runtime(Path runtime) {
            return put("--runtime", runtime);
        }

        /** --64-bit: the 32-bit executable hands over to the 64-bit one. */
        public Builder allow64Bit(boolean allow64Bit) {
            this.allow64Bit = allow64Bit;
            return this;
        }

        /** --console: the console executables, for a command-line program. */
        public Builder console(boolean console) {
            this.console = console;
            return this;
        }

        /** --setting, once per entry: "Section/Key=Value". */
        public Builder setting(String setting) {
            if (setting != null) settings.add(setting);
            return this;
        }

        /** --base-settings: the base settings text embedded in the executables. */
        public Builder baseSettings(Path baseSettings) {
            return put("--base-settings", baseSettings);
        }

        /** --upgrade-code: the product's GUID, needed with base settings. */
        public Builder upgradeCode(String upgradeCode) {
            return put("--upgrade-code", upgradeCode);
        }

        /** --sign: the PKCS#12 file to sign both executables with. */
        public Builder sign(Path key) {
            return put("--sign", key);
        }

        /** --password-env: the environment variable holding the key's password. */
        public Builder passwordEnv(String variable) {
            return put("--password-env", variable);
        }

        /**
         * The key's password itself, for a caller that has it from elsewhere (a build tool's
         * credential store); there is no command-line option for it, and it never appears in
         * {@link #arguments()}.
         */
        public Builder signingPassword(String password) {
            this.password = password;
            return this;
        }

        /** --timestamp-url: the time-stamping server for the signatures. */
        public Builder timestampUrl(String url) {
            return put("--timestamp-url", url);
        }

        /** --sign-ca: the CA certificates the signatures are verified against. */
        public Builder signCa(Path ca) {
            return put("--sign-ca", ca);
        }

        /** --out: the application folder to create or update. */
        public Builder out(Path out) {
            return put("--out", out);
        }

        /** --msi: the Windows Installer package to build of the pack (needs wixl). */
        public Builder msi(Path msi) {
            return put("--msi", msi);
        }

        /** --msi-wxs: where to keep the installer's WiX source. */
        public Builder msiWxs(Path wxs) {
            return put("--msi-wxs", wxs);
        }

        /** --msi-scope: "user" (the default) or "machine". */
        public Builder msiScope(String scope) {
            return put("--msi-scope", scope);
        }

        /** --file-association, once per file type: ".ext=Description". */
        public Builder fileAssociation(String association) {
            if (association != null) fileAssociations.add(association);
            return this;
        }

        /** --msi-remove-user-settings: the uninstall removes the user's settings files. */
        public Builder msiRemoveUserSettings(boolean remove) {
            this.msiRemoveUserSettings = remove;
            return this;
        }

        /** Checks the request as the command line would; the message names the option. */
        public PackRequest build() throws UsageException {
            // "--option=value" keeps a value that starts with "--" a value. The name and the
            // jars come first, as people write the command line.
            List<String> args = new ArrayList<>();
            if (single.containsKey("--name")) args.add("--name=" + single.get("--name"));
            for (String jar : jars) args.add("--jar=" + jar);
            for (Map.Entry<String, String> entry : single.entrySet()) {
                if (!entry.getKey().equals("--name")) {
                    args.add(entry.getKey() + "=" + entry.getValue());
                }
            }
            for (String setting : settings) args.add("--setting=" + setting);
            if (allow64Bit) args.add("--64-bit");
            if (console) args.add("--console");
            for (String association : fileAssociations) {
                args.add("--file-association=" + association);
            }
            if (msiRemoveUserSettings) args.add("--msi-remove-user-settings");
            PackOptions options = OptionParser.parse(args);
            if (password != null) {
                if (options.signingKey == null) {
                    throw new UsageException("a signing password only applies together with"
                            + " --sign <key.pfx>");
                }
                if (options.passwordVariable != null) {
                    throw new UsageException("the signing password is given twice, directly"
                            + " and through --password-env " + options.passwordVariable
                            + "; give it one way");
                }
                options.password = password;
            }
            return new PackRequest(options, args);
        }
    }
}
