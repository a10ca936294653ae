package javalauncher.packer;

import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import java.util.function.Consumer;
import javalauncher.packer.pe.PeFile;
import javalauncher.packer.pe.PeFormatException;
import javalauncher.packer.pe.ResourceTree;
import javalauncher.packer.resources.Branding;
import javalauncher.packer.resources.IconFile;
import javalauncher.packer.resources.VersionInfo;

/**
 * Makes the application folder: checks every input first, then builds the pack in a staging
 * folder and moves it to --out only when everything, signing included, has succeeded. A
 * failed pack leaves --out as it was.
 */
public final class Packer {
    /** Where the build puts the launcher executables inside the packer's jar. */
    static final String LAUNCHER_32 = "/launchers/launcher.exe";
    static final String LAUNCHER_64 = "/launchers/launcher64.exe";
    static final String CONSOLE_LAUNCHER_32 = "/launchers/launcherc.exe";
    static final String CONSOLE_LAUNCHER_64 = "/launchers/launcher64c.exe";
    private static final long MAX_INPUT_BYTES = 64L << 20;
    /** A note as the command line prints it. */
    private static final Consumer<String> PRINT_NOTE =
            note -> System.err.println("javalauncher-pack: " + note);

    private Packer() {}

    /**
     * Packs the request, printing its notes (a base setting overridden, say) to standard error
     * as the command line does.
     *
     * @throws PackException with a message that names the input at fault and the fix; a
     *     {@link UsageException} never comes from here, since the request was checked when built
     */
    public static void pack(PackRequest request) throws PackException {
        pack(request, PRINT_NOTE);
    }

    /**
     * Packs the request and hands its notes to notes, for a build tool's log.
     *
     * @throws PackException with a message that names the input at fault and the fix
     */
    public static void pack(PackRequest request, Consumer<String> notes) throws PackException {
        try {
            pack(request.options, notes);
        } catch (UncheckedIOException e) {
            // From a walk of a folder tree: a library caller should see one kind of failure.
            throw new PackException(IoMessages.describe(e.getCause()), e);
        }
    }

    static void pack(PackOptions options) throws PackException {
        pack(options, PRINT_NOTE);
    }

    private static void pack(PackOptions options, Consumer<String> report)
            throws PackException {
        List<String> jarNames = checkJars(options.jars);
        String baseText = options.baseSettings == null ? null : readText(options.baseSettings);
        BaseText base = BaseText.parse(baseText);
        List<String> notes = new ArrayList<>();
        LaunchTarget target = LaunchTarget.resolve(options, PackSettings.userSettings(options),
                base, notes);
        IconFile icon = options.icon == null ? null : readIcon(options.icon);
        BundledRuntime runtime =
                options.runtime == null ? null : BundledRuntime.inspect(options.runtime);
        String description = options.description != null ? options.description : options.name;
        Signer signer = options.signingKey == null ? null : Signer.prepare(options, description);
        MsiBuilder msiBuilder = MsiBuilder.prepare(options);
        if (options.upgradeCodeGenerated) {
            report.accept("note: the installer's upgrade code is " + options.upgradeCode
                    + "; give --upgrade-code " + options.upgradeCode + " to every later"
                    + " release, or its installer will not upgrade this one");
        }
        if ((options.msi != null || options.msiWxs != null) && options.version[3] != 0) {
            report.accept("note: the installer's version is "
                    + WixSource.msiVersion(options.version) + ": Windows Installer compares"
                    + " the first three numbers only, so " + VersionInfo.format(options.version)
                    + " is one version with every other " + WixSource.msiVersion(options.version)
                    + ".x to it");
        }
        PackSettings settings = PackSettings.build(options, base, target, jarNames,
                runtime != null && runtime.is64Bit);
        notes.addAll(settings.notes);
        notes.forEach(report);

        if (runtime != null) checkOutsideRuntime(options.out, options.runtime);
        OutputFolder out = OutputFolder.create(options.out, options.name);
        boolean committed = false;
        Path msiPart = null;
        try {
            Path folder = out.staging;
            String exe32 = options.name + ".exe";
            String exe64 = options.name + "64.exe";
            String launcher32 = options.console ? CONSOLE_LAUNCHER_32 : LAUNCHER_32;
            String launcher64 = options.console ? CONSOLE_LAUNCHER_64 : LAUNCHER_64;
            IoMessages.write(folder.resolve(exe32),
                    brand(launcher(launcher32), exe32, options, description, icon, baseText));
            IoMessages.write(folder.resolve(exe64),
                    brand(launcher(launcher64), exe64, options, description, icon, baseText));
            IoMessages.write(folder.resolve(options.name + ".ini"),
                    SettingsFile.encode(settings.main.toText()));
            IoMessages.write(folder.resolve(options.name + "64.ini"),
                    SettingsFile.encode(settings.pair.toText()));
            Path lib = Files.createDirectory(folder.resolve("lib"));
            for (int i = 0; i < options.jars.size(); i++) {
                IoMessages.copy(options.jars.get(i), lib.resolve(jarNames.get(i)));
            }
            if (runtime != null) runtime.copyTo(folder.resolve("jre"));
            if (signer != null) {
                signer.sign(folder.resolve(exe32), out.scratch(), out::shown);
                signer.sign(folder.resolve(exe64), out.scratch(), out::shown);
            }
            boolean is64Bit = runtime != null && runtime.is64Bit;
            WixSource wix = options.msi == null && options.msiWxs == null ? null
                    : MsiBuilder.source(options, folder, description, is64Bit, settings);
            if (msiBuilder != null) {
                Path msi = out.scratch().resolve("installer.msi");
                msiBuilder.build(wix, folder, msi, out.scratch(), is64Bit, signer, out::shown);
                // Beside its place, so that it moves in at once when the pack is in.
                Path parent = options.msi.toAbsolutePath().getParent();
                Files.createDirectories(parent);
                msiPart = Files.createTempFile(parent, "." + options.msi.getFileName(), ".part");
                Files.copy(msi, msiPart, StandardCopyOption.REPLACE_EXISTING);
            }
            out.commit();
            committed = true;
            // The folder is the pack; the installer and its source follow it.
            Path writing = options.msiWxs;
            try {
                if (wix != null && options.msiWxs != null) {
                    Files.createDirectories(options.msiWxs.toAbsolutePath().getParent());
                    IoMessages.write(options.msiWxs, wix.text.getBytes(StandardCharsets.UTF_8));
                }
                writing = options.msi;
                if (msiPart != null) {
                    Files.move(msiPart, options.msi, StandardCopyOption.REPLACE_EXISTING);
                    msiPart = null;
                }
            } catch (IOException e) {
                throw new PackException("packed " + options.name + " into " + options.out
                        + ", but writing " + writing + " failed: " + IoMessages.describe(e), e);
            }
        } catch (IOException e) {
            throw new PackException(IoMessages.duringPack(e, out.staging, options.out), e);
        } finally {
            if (!committed) out.abandon();
            if (msiPart != null) {
                try {
                    Files.deleteIfExists(msiPart);
                } catch (IOException e) {
                    // Only a hidden ".part" file stays behind.
                }
            }
        }
    }

    /** Copying the runtime into a folder inside it would never end. */
    private static void checkOutsideRuntime(Path out, Path runtime) throws PackException {
        Path runtimeFolder;
        try {
            runtimeFolder = runtime.toRealPath();
        } catch (IOException e) {
            throw new PackException("--runtime " + runtime + ": "
                    + IoMessages.reading(runtime, e));
        }
        Path parent = out.toAbsolutePath().normalize().getParent();
        Path existing = parent;
        while (existing != null && !Files.exists(existing)) existing = existing.getParent();
        try {
            if (existing != null && existing.toRealPath().startsWith(runtimeFolder)) {
                throw new PackException("--out " + out + " lies inside --runtime " + runtime
                        + "; choose a folder outside the runtime");
            }
        } catch (IOException e) {
            throw new PackException("--out " + out + ": " + IoMessages.reading(existing, e));
        }
    }

    /** The jars' file names in lib\; two jars of one name would overwrite each other. */
    private static List<String> checkJars(List<Path> jars) throws PackException {
        List<String> names = new ArrayList<>();
        Set<String> seen = new HashSet<>();
        for (Path jar : jars) {
            if (Files.isDirectory(jar)) {
                throw new PackException("--jar " + jar + ": is a folder; give the jar file");
            }
            if (!Files.isRegularFile(jar)) {
                throw new PackException("--jar " + jar + ": no such file");
            }
            String name = jar.getFileName().toString();
            String problem = WindowsNames.problemOf(name);
            if (problem != null) {
                throw new PackException("--jar " + jar + ": its name cannot be a file in lib\\"
                        + " on Windows: " + problem + "; rename the jar");
            }
            // ";" separates class path entries and "%" starts an environment variable there.
            if (name.contains(";") || name.contains("%")) {
                throw new PackException("--jar " + jar + ": the launcher's class path cannot"
                        + " hold a file name with ';' or '%'; rename the jar");
            }
            if (!seen.add(name.toLowerCase(Locale.ROOT))) {
                throw new PackException("--jar " + jar + ": another jar is named " + name
                        + " too; both would go to lib\\" + name + ", so rename one");
            }
            names.add(name);
        }
        return names;
    }

    private static IconFile readIcon(Path file) throws PackException {
        try {
            return IconFile.parse(readInput("--icon", file));
        } catch (IllegalArgumentException e) {
            throw new PackException("--icon " + file + ": " + e.getMessage()
                    + "; give a Windows .ico file");
        }
    }

    /** UTF-16 with a byte-order mark, or UTF-8 (with or without one). */
    static String readText(Path file) throws PackException {
        byte[] bytes = readInput("--base-settings", file);
        try {
            if (bytes.length >= 2 && (bytes[0] & 0xFF) == 0xFF && (bytes[1] & 0xFF) == 0xFE) {
                return decode(bytes, 2, StandardCharsets.UTF_16LE);
            }
            if (bytes.length >= 2 && (bytes[0] & 0xFF) == 0xFE && (bytes[1] & 0xFF) == 0xFF) {
                return decode(bytes, 2, StandardCharsets.UTF_16BE);
            }
            boolean utf8Mark = bytes.length >= 3 && (bytes[0] & 0xFF) == 0xEF
                    && (bytes[1] & 0xFF) == 0xBB && (bytes[2] & 0xFF) == 0xBF;
            return decode(bytes, utf8Mark ? 3 : 0, StandardCharsets.UTF_8);
        } catch (CharacterCodingException e) {
            throw new PackException("--base-settings " + file + ": not UTF-8 text, nor UTF-16"
                    + " with a byte-order mark; save it in one of those");
        }
    }

    private static String decode(byte[] bytes, int skip, java.nio.charset.Charset charset)
            throws CharacterCodingException {
        return charset.newDecoder().onMalformedInput(CodingErrorAction.REPORT)
                .onUnmappableCharacter(CodingErrorAction.REPORT)
                .decode(ByteBuffer.wrap(bytes, skip, bytes.length - skip)).toString();
    }

    /** Reads a whole input file; pipes and process substitutions work too. */
    private static byte[] readInput(String option, Path file) throws PackException {
        if (!Files.exists(file)) throw new PackException(option + " " + file + ": no such file");
        if (Files.isDirectory(file)) {
            throw new PackException(option + " " + file + ": is a folder; give a file");
        }
        try (InputStream in = Files.newInputStream(file)) {
            byte[] bytes = in.readNBytes((int) MAX_INPUT_BYTES + 1);
            if (bytes.length > MAX_INPUT_BYTES) {
                throw new PackException(option + " " + file + ": larger than 64 MB");
            }
            return bytes;
        } catch (IOException e) {
            throw new PackException(option + " " + file + ": " + IoMessages.reading(file, e));
        }
    }

    private static byte[] launcher(String resource) throws PackException {
        try (InputStream in = Packer.class.getResourceAsStream(resource)) {
            if (in == null) {
                throw new PackException("this packer jar lacks " + resource
                        + "; rebuild it with the launcher build");
            }
            return in.readAllBytes();
        } catch (IOException e) {
            throw new PackException("cannot read " + resource + " from the packer jar");
        }
    }

    /** The launcher with the application's icon, version information and base settings. */
    static byte[] brand(byte[] launcher, String fileName, PackOptions options,
            String description, IconFile icon, String baseText) throws PackException {
        try {
            PeFile executable = PeFile.read(launcher);
            ResourceTree resources = executable.resources();
            if (icon != null) Branding.setIcon(resources, icon);
            String version = VersionInfo.format(options.version);
            Branding.setVersion(resources, new VersionInfo(options.version)
                    .with("CompanyName", options.company)
                    .with("FileDescription", description)
                    .with("FileVersion", version)
                    .with("InternalName", options.name)
                    .with("OriginalFilename", fileName)
                    .with("ProductName", options.name)
                    .with("ProductVersion", version));
            if (baseText != null) {
                Branding.setBaseSettings(resources, options.upgradeCode, baseText);
            }
            return executable.withResources(resources);
        } catch (PeFormatException e) {
            throw new PackException("cannot edit " + fileName + ": " + e.getMessage());
        } catch (IllegalArgumentException e) {
            throw new PackException(fileName + ": " + e.getMessage());
        }
    }
}
