package javalauncher.packer;

import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.function.UnaryOperator;

/**
 * Authenticode signing through osslsigncode, which runs on every build OS. The key's password
 * never goes on its command line, where other users of the machine could read it, nor into a
 * file: osslsigncode reads it from a pipe (its standard input, opened as /dev/stdin, which its
 * "-readpass" accepts in every version, Debian 12's 2.5 included). Windows has no /dev/stdin and
 * osslsigncode there reads "-readpass" files through a file mapping, which a pipe cannot give;
 * there the password goes on the command line, which Windows shows only to the same user and
 * to administrators. A key without a password gets no "-readpass" at all (osslsigncode fails
 * on an empty password file).
 */
final class Signer {
    static final String TOOL = "osslsigncode";
    static final String INSTALL_HINT = "install it (Debian/Ubuntu: apt-get install osslsigncode;"
            + " Fedora: dnf install osslsigncode; macOS: brew install osslsigncode; Windows:"
            + " MSYS2 pacman -S mingw-w64-x86_64-osslsigncode) and put it on the PATH";
    static final long TIMEOUT_MILLIS = 5 * 60 * 1000;
    private static final boolean PIPE_PASSWORD = File.separatorChar == '/';
    private static final int OUTPUT_LIMIT = 1 << 16;
    // What OpenSSL says when the signer's certificate chains to no CA in the list verified with.
    private static final String[] UNTRUSTED = {"self-signed certificate", "self signed certificate",
            "unable to get local issuer certificate", "unable to get issuer certificate"};

    private final Path tool;
    private final Path key;
    private final String password;
    private final String timestampUrl;
    private final Path ca;
    private final String description;
    long timeoutMillis = TIMEOUT_MILLIS;

    /** password: null or empty for a key without one. */
    Signer(Path tool, Path key, String password, String timestampUrl, Path ca,
            String description) {
        this.tool = tool;
        this.key = key;
        this.password = password == null || password.isEmpty() ? null : password;
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
        String password = options.password;
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

    /**
     * Signs the executable in place and verifies the new signature. shown turns the work
     * folder's paths in messages into those of --out, which is all the user knows of.
     */
    void sign(Path executable, Path scratch, UnaryOperator<String> shown) throws PackException {
        Path signed = scratch.resolve(executable.getFileName() + ".signed");
        String name = shown.apply(executable.toString());
        try {
            Files.deleteIfExists(signed);
            byte[] secret = password == null || !PIPE_PASSWORD ? new byte[0]
                    : password.getBytes(StandardCharsets.UTF_8);
            run(signCommand(executable, signed), secret, "signing " + name, shown);
            run(verifyCommand(signed), new byte[0],
                    "verifying the signature of " + name, shown);
            Files.move(signed, executable, StandardCopyOption.REPLACE_EXISTING);
        } catch (IOException e) {
            throw new PackException("signing " + name + " failed: "
                    + shown.apply(String.valueOf(e.getMessage())), e);
        } finally {
            try {
                Files.deleteIfExists(signed);
            } catch (IOException e) {
                // The work folder is removed as a whole afterwards.
            }
        }
    }

    List<String> signCommand(Path in, Path out) {
        List<String> command = new ArrayList<>(List.of(tool.toString(), "sign", "-pkcs12",
                key.toString()));
        if (password != null) {
            command.addAll(PIPE_PASSWORD ? List.of("-readpass", "/dev/stdin")
                                         : List.of("-pass", password));
        }
        command.addAll(List.of("-h", "sha256", "-n", description));
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

    private String run(List<String> command, byte[] input, String what,
            UnaryOperator<String> shown) throws PackException {
        try {
            return runTool(command, input, what, timeoutMillis);
        } catch (ToolFailed e) {
            String said = shown.apply(lastLines(e.output, 12));
            String hint = "";
            if (command.contains("verify") && containsAny(e.output, UNTRUSTED)) {
                hint = ca == null ? "\n  the certificate does not chain to a CA this system"
                        + " trusts (it is self-signed or from a private CA): give that CA's"
                        + " certificate with --sign-ca, e.g. --sign-ca company-root.pem"
                                  : "\n  the certificate does not chain to a CA in --sign-ca "
                        + ca + ": give the CA that issued it";
            }
            throw new PackException(what + " failed; " + TOOL + " said:\n" + said + hint);
        }
    }

    private static boolean containsAny(String text, String[] needles) {
        for (String needle : needles) {
            if (text.contains(needle)) return true;
        }
        return false;
    }

    /** A tool that ran and reported failure, with all it printed. */
    static final class ToolFailed extends Exception {
        private static final long serialVersionUID = 1L;
        final String output;

        ToolFailed(String output) {
            super("failed");
            this.output = output;
        }
    }

    /**
     * Runs a tool with input on its standard input and returns what it printed. Its output is
     * read on a thread of its own, so a tool that hangs (say, on a time-stamp server that never
     * answers) is ended at the time-out, with whatever it started; so it is when the packer is
     * stopped.
     */
    static String runTool(List<String> command, byte[] input, String what, long timeoutMillis)
            throws PackException, ToolFailed {
        return runTool(TOOL, command, null, input, what, timeoutMillis);
    }

    /** As above for another tool, started in folder (null: the current one). */
    static String runTool(String toolName, List<String> command, Path folder, byte[] input,
            String what, long timeoutMillis) throws PackException, ToolFailed {
        Process process;
        try {
            ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
            if (folder != null) builder.directory(folder.toFile());
            process = builder.start();
        } catch (IOException e) {
            throw new PackException(what + ": cannot run " + toolName + " (" + e.getMessage()
                    + ")");
        }
        Thread killOnExit = new Thread(() -> destroyTree(process));
        Runtime.getRuntime().addShutdownHook(killOnExit);
        ByteArrayOutputStream output = new ByteArrayOutputStream();
        Thread reader = new Thread(() -> collect(process.getInputStream(), output),
                toolName + " output");
        reader.setDaemon(true);
        reader.start();
        try {
            try (OutputStream in = process.getOutputStream()) {
                in.write(input);
            } catch (IOException e) {
                // The tool ended without reading its input; its exit status says why.
            }
            if (!process.waitFor(timeoutMillis, TimeUnit.MILLISECONDS)) {
                destroyTree(process);
                throw new PackException(what + ": " + toolName + " did not finish in "
                        + describe(timeoutMillis) + ", so the packer ended it");
            }
            reader.join(5000);
            String text;
            synchronized (output) {
                text = new String(output.toByteArray(), StandardCharsets.UTF_8);
            }
            if (process.exitValue() != 0) throw new ToolFailed(text);
            return text;
        } catch (InterruptedException e) {
            destroyTree(process);
            Thread.currentThread().interrupt();
            throw new PackException(what + " was interrupted");
        } finally {
            try {
                Runtime.getRuntime().removeShutdownHook(killOnExit);
            } catch (IllegalStateException e) {
                // Shutting down: the hook ends the tool.
            }
        }
    }

    private static void collect(InputStream from, ByteArrayOutputStream to) {
        byte[] buffer = new byte[8192];
        try (InputStream in = from) {
            for (int count; (count = in.read(buffer)) > 0; ) {
                synchronized (to) {
                    // Keeps the end, where the reason for a failure is.
                    if (to.size() + count > OUTPUT_LIMIT) {
                        byte[] kept = to.toByteArray();
                        to.reset();
                        to.write(kept, kept.length / 2, kept.length - kept.length / 2);
                    }
                    to.write(buffer, 0, count);
                }
            }
        } catch (IOException e) {
            // The pipe closed: the tool ended or was ended.
        }
    }

    private static void destroyTree(Process process) {
        process.descendants().forEach(ProcessHandle::destroyForcibly);
        process.destroyForcibly();
    }

    private static String describe(long millis) {
        return millis % 60000 == 0 ? millis / 60000 + " minutes" : millis / 1000.0 + " seconds";
    }

    static String lastLines(String text, int count) {
        String[] lines = text.strip().split("\\R");
        int from = Math.max(0, lines.length - count);
        return "  " + String.join("\n  ", List.of(lines).subList(from, lines.length));
    }
}
