package javalauncher.packer;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.UUID;
import java.util.function.UnaryOperator;
import java.util.stream.Stream;

/**
 * Builds the installer of a pack with wixl, which runs on every build OS, from the WiX source
 * the packer writes. Everything wixl needs is checked before packing starts, so a machine
 * without it fails at once and writes nothing.
 */
final class MsiBuilder {
    static final String WIXL = "wixl";
    static final String MSIBUILD = "msibuild";
    static final String INSTALL_HINT = "install it (Debian/Ubuntu: apt-get install %s; Fedora:"
            + " dnf install msitools; macOS: brew install msitools) and put it on the PATH";
    private static final long TIMEOUT_MILLIS = 10 * 60 * 1000;

    private final Path wixl;
    private final Path msibuild;

    private MsiBuilder(Path wixl, Path msibuild) {
        this.wixl = wixl;
        this.msibuild = msibuild;
    }

    /**
     * Checks the tools and the output paths, and settles the upgrade code; null when only the
     * WiX source (or nothing) is asked for.
     */
    static MsiBuilder prepare(PackOptions options) throws PackException {
        if (options.msi == null && options.msiWxs == null) return null;
        checkFile("--msi", options.msi);
        checkFile("--msi-wxs", options.msiWxs);
        if (options.upgradeCode == null) {
            options.upgradeCode = "{" + UUID.randomUUID().toString().toUpperCase() + "}";
            options.upgradeCodeGenerated = true;
        }
        if (options.msi == null) return null;
        Path wixl = Signer.findOnPath(WIXL);
        if (wixl == null) {
            throw new PackException("--msi needs " + WIXL + ", which is not on the PATH: "
                    + String.format(INSTALL_HINT, "wixl"));
        }
        Path msibuild = null;
        if (options.msiRemoveUserSettings) {
            // wixl has no RemoveFile element; msibuild adds those rows to the built package.
            msibuild = Signer.findOnPath(MSIBUILD);
            if (msibuild == null) {
                throw new PackException("--msi-remove-user-settings needs " + MSIBUILD
                        + " (from msitools), which is not on the PATH: "
                        + String.format(INSTALL_HINT, "msitools"));
            }
        }
        return new MsiBuilder(wixl, msibuild);
    }

    private static void checkFile(String option, Path file) throws PackException {
        if (file == null) return;
        if (Files.isDirectory(file)) {
            throw new PackException(option + " " + file + ": is a folder; give a file name");
        }
        Path parent = file.toAbsolutePath().getParent();
        if (parent != null && Files.exists(parent) && !Files.isDirectory(parent)) {
            throw new PackException(option + " " + file + ": " + parent + " is not a folder");
        }
    }

    /** The installer's description of the finished pack in folder. */
    static WixSource source(PackOptions options, Path folder, String description,
            boolean is64Bit, PackSettings settings) throws IOException, PackException {
        WixSource.Product product = new WixSource.Product();
        product.name = options.name;
        product.manufacturer = options.company != null && !options.company.isBlank()
                ? options.company : options.name;
        product.version = options.version;
        product.upgradeCode = options.upgradeCode;
        product.scope = options.msiScope;
        product.is64Bit = is64Bit;
        product.mainExecutable = options.name + ".exe";
        product.description = description;
        product.associations.addAll(options.fileAssociations);
        try (Stream<Path> files = Files.walk(folder)) {
            files.filter(Files::isRegularFile)
                    .forEach(file -> product.files.add(PackRecord.relative(folder, file)));
        }
        for (String file : product.files) {
            // The packer's own files and the jars are checked with the command line.
            String problem = WixSource.textProblem(file);
            if (problem != null) {
                throw new PackException("--msi: the runtime's file " + file + " cannot go into"
                        + " the installer: " + problem);
            }
        }
        if (options.msiRemoveUserSettings) {
            // Where the launcher keeps "JRE Path" for a user: %APPDATA%\<product folder>\
            // <product code>\<executable's name>.ini, the product folder being the product
            // name without the characters a folder name cannot hold.
            product.userSettingsFolders.add(options.name.replaceAll("[\\\\?\"|><:/*]", ""));
            String code = settings.main.get(PackSettings.PRODUCT, "Product Code");
            if (code != null && !code.isEmpty()) product.userSettingsFolders.add(code);
            product.userSettingsFiles.add(options.name + ".ini");
            product.userSettingsFiles.add(options.name + "64.ini");
        }
        return WixSource.of(product);
    }

    /** Builds the installer of folder into msi, then signs and verifies it. */
    void build(WixSource source, Path folder, Path msi, Path scratch, boolean is64Bit,
            Signer signer, UnaryOperator<String> shown) throws PackException, IOException {
        Path wxs = scratch.resolve("installer.wxs");
        Files.write(wxs, source.text.getBytes(StandardCharsets.UTF_8));
        List<String> command = new ArrayList<>(List.of(wixl.toString()));
        if (is64Bit) command.addAll(List.of("-a", "x64"));
        // wixl wants the packed files by relative path: it runs in the packed folder.
        command.addAll(List.of("-D", WixSource.SOURCE_DIR + "=.", "-o", msi.toString(),
                wxs.toString()));
        run(WIXL, command, folder, "building the installer", shown);
        for (String query : source.queries) {
            run(MSIBUILD, List.of(msibuild.toString(), msi.toString(), "-q", query), null,
                    "adding the settings files to the installer's uninstall", shown);
        }
        if (signer != null) signer.sign(msi, scratch, shown);
    }

    private static void run(String tool, List<String> command, Path folder, String what,
            UnaryOperator<String> shown) throws PackException {
        try {
            Signer.runTool(tool, command, folder, new byte[0], what, TIMEOUT_MILLIS);
        } catch (Signer.ToolFailed e) {
            throw new PackException(what + " failed; " + tool + " said:\n"
                    + shown.apply(Signer.lastLines(e.output, 12)));
        }
    }
}
