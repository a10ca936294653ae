package javalauncher.packer;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFileAttributeView;
import java.nio.file.attribute.PosixFilePermission;
import java.util.ArrayList;
import java.util.EnumSet;
import java.util.List;
import java.util.concurrent.TimeUnit;

/**
 * Authenticode signing through osslsigncode, which runs on every build OS. The password goes
 * to the tool in a file readable only by this user (in a private temporary folder), never on
 * its command line, where other users of the machine could see it.
 */
final class Signer {
    static final String TOOL = "osslsigncode";
    static final String INSTALL_HINT = "install it (Debian/Ubuntu: apt-get install osslsigncode;"
            + " Fedora: dnf install osslsigncode; macOS: brew install osslsigncode; Windows:"
            + " MSYS2 pacman -S mingw-w64-x86_64-osslsigncode) and put it on the PATH";
    private static final long TIMEOUT_MINUTES = 5;

    private final Path tool;
    private final Path key;
    private final String password;
    private final String timestampUrl;
    private final Path ca;
    private final String description;

    private Signer(Path tool, Path key, String password, String timestampUrl, Path ca,
            String description) {
        this.tool = tool;
        this.key = key;
        this.password = password;
        this.timestampUrl = timestampUrl;
        this.ca = ca;
        this.description = description;
    }

    /** Checks everything signing needs before any work is done. */
    static Signer prepare(PackOptions options, String description) throws PackException {
        Path tool = findOnPath(TOOL);
        if (tool == null) {
            throw new PackException("--sign needs " + TOOL + ", which is not on the PATH: "
                    + INSTALL_HINT);
        }
        if (!Files.isRegularFile(options.signingKey)) {
            throw new PackException("--sign " + options.signingKey + ": no such file; give a"
                    + " PKCS#12 (.pfx or .p12) file with the key and its certificate");
        }
        if (options.signingCa != null && !Files.isRegularFile(options.signingCa)) {
            throw new PackException("--sign-ca " + options.signingCa + ": no such file");
        }
        String password = "";
        if (options.passwordVariable != null) {
            password = System.getenv(options.passwordVariable);
            if (password == null) {
                throw new PackException("--password-env " + options.passwordVariable
                        + ": the environment variable is not set");
            }
        }
        return new Signer(tool, options.signingKey, password, options.timestampUrl,
                options.signingCa, description);
    }

    static Path findOnPath(String name) {
        String path = System.getenv("PATH");
        if (path == null) return null;
        for (String folder : path.split(File.pathSeparator)) {
            if (folder.isEmpty()) continue;
            for (String candidate : new String[] {name, name + ".exe"}) {
                Path file = Path.of(folder, candidate);
                if (Files.isRegularFile(file) && Files.isExecutable(file)) return file;
            }
        }
        return null;
    }

    /** Signs the executable in place and verifies the new signature. */
    void sign(Path executable, Path scratch) throws PackException {
        Path signed = scratch.resolve(executable.getFileName() + ".signed");
        Path passwordFile = scratch.resolve("password");
        try {
            Files.write(passwordFile, new byte[0]);
            if (Files.getFileAttributeView(passwordFile, PosixFileAttributeView.class) != null) {
                Files.setPosixFilePermissions(passwordFile, EnumSet.of(
                        PosixFilePermission.OWNER_READ, PosixFilePermission.OWNER_WRITE));
            }
            Files.write(passwordFile, password.getBytes(StandardCharsets.UTF_8));
            run(signCommand(passwordFile, executable, signed), "signing " + executable);
            run(verifyCommand(signed), "verifying the signature of " + executable);
            Files.move(signed, executable, StandardCopyOption.REPLACE_EXISTING);
        } catch (IOException e) {
            throw new PackException("signing " + executable + " failed: " + e.getMessage(), e);
        } finally {
            try {
                Files.deleteIfExists(passwordFile);
                Files.deleteIfExists(signed);
            } catch (IOException e) {
                // The scratch folder is removed as a whole afterwards.
            }
        }
    }

    List<String> signCommand(Path passwordFile, Path in, Path out) {
        List<String> command = new ArrayList<>(List.of(tool.toString(), "sign", "-pkcs12",
                key.toString(), "-readpass", passwordFile.toString(), "-h", "sha256", "-n",
                description));
        if (timestampUrl != null) command.addAll(List.of("-ts", timestampUrl));
        command.addAll(List.of("-in", in.toString(), "-out", out.toString()));
        return command;
    }

    List<String> verifyCommand(Path file) {
        List<String> command = new ArrayList<>(List.of(tool.toString(), "verify"));
        if (ca != null) command.addAll(List.of("-CAfile", ca.toString()));
        command.addAll(List.of("-in", file.toString()));
        return command;
    }

    private static void run(List<String> command, String what) throws PackException {
        try {
            Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
            process.getOutputStream().close();
            byte[] output = process.getInputStream().readAllBytes();
            if (!process.waitFor(TIMEOUT_MINUTES, TimeUnit.MINUTES)) {
                process.destroyForcibly();
                throw new PackException(what + ": " + TOOL + " did not finish in "
                        + TIMEOUT_MINUTES + " minutes");
            }
            if (process.exitValue() != 0) {
                throw new PackException(what + " failed; " + TOOL + " said:\n"
                        + lastLines(new String(output, StandardCharsets.UTF_8), 12));
            }
        } catch (IOException e) {
            throw new PackException(what + ": cannot run " + TOOL + " (" + e.getMessage() + ")");
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw new PackException(what + " was interrupted");
        }
    }

    private static String lastLines(String text, int count) {
        String[] lines = text.strip().split("\\R");
        int from = Math.max(0, lines.length - count);
        return "  " + String.join("\n  ", List.of(lines).subList(from, lines.length));
    }
}
