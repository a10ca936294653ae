package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Signing with the real osslsigncode and keys made by openssl, as users make them. */
class SigningTest {
    @TempDir
    Path work;

    private void openssl(String... args) throws Exception {
        List<String> command = new ArrayList<>(List.of("openssl"));
        command.addAll(List.of(args));
        Process process = new ProcessBuilder(command).redirectErrorStream(true)
                .redirectOutput(work.resolve("openssl.out").toFile()).start();
        assertEquals(0, process.waitFor(), Files.readString(work.resolve("openssl.out")));
    }

    /** A self-signed certificate and its key in PKCS#12, protected by password (may be empty). */
    private Path key(String password) throws Exception {
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                work.resolve("key.pem").toString(), "-out", work.resolve("cert.pem").toString(),
                "-days", "2", "-subj", "/CN=Signing Test");
        List<String> export = new ArrayList<>(List.of("pkcs12", "-export", "-inkey",
                work.resolve("key.pem").toString(), "-in", work.resolve("cert.pem").toString(),
                "-out", work.resolve("key.pfx").toString(), "-passout", "pass:" + password));
        if (password == null) {
            export.set(export.size() - 1, "pass:");
            export.addAll(List.of("-keypbe", "NONE", "-certpbe", "NONE", "-nomac"));
        }
        openssl(export.toArray(new String[0]));
        return work.resolve("key.pfx");
    }

    static Stream<Arguments> cases() {
        // PATH stands in for the password variable: always set, and never the key's password.
        return Stream.of(
                Arguments.of("a key without password, unencrypted", null, List.of("--sign-ca"),
                        null),
                Arguments.of("a key with an empty password", "", List.of("--sign-ca"), null),
                Arguments.of("a self-signed certificate without --sign-ca", "", List.of(),
                        "give that CA's certificate with --sign-ca"),
                Arguments.of("a wrong password", "right",
                        List.of("--sign-ca", "--password-env", "PATH"), "Wrong password"));
    }

    /**
     * Before, a key without password failed (osslsigncode refuses an empty password file), the
     * messages named the hidden work folder, and an untrusted certificate got no hint.
     */
    @ParameterizedTest(name = "{0}")
    @MethodSource("cases")
    void signsAsPeopleSign(String what, String password, List<String> options, String failure)
            throws Exception {
        assumeTrue(Signer.findOnPath(Signer.TOOL) != null && Signer.findOnPath("openssl") != null);
        Path key = key(password);
        Path out = work.resolve("dist/MyApp");
        List<String> args = new ArrayList<>(List.of("--name", "MyApp", "--jar",
                TestInputs.jar(work.resolve("app.jar"), "com.example.App", 52, true).toString(),
                "--out", out.toString(), "--sign", key.toString()));
        for (String option : options) {
            args.add(option);
            if (option.equals("--sign-ca")) args.add(work.resolve("cert.pem").toString());
        }
        PackOptions parsed = OptionParser.parse(args);

        if (failure == null) {
            Packer.pack(parsed);
            Process verify = new ProcessBuilder(Signer.TOOL, "verify", "-CAfile",
                    work.resolve("cert.pem").toString(), "-in",
                    out.resolve("MyApp64.exe").toString())
                    .redirectErrorStream(true).redirectOutput(work.resolve("verify.out").toFile())
                    .start();
            assertEquals(0, verify.waitFor(), Files.readString(work.resolve("verify.out")));
            return;
        }
        PackException error = assertThrows(PackException.class, () -> Packer.pack(parsed));
        assertTrue(error.getMessage().contains(failure), error.getMessage());
        assertTrue(error.getMessage().contains(out.resolve("MyApp.exe").toString()),
                error.getMessage());
        assertFalse(error.getMessage().contains(".MyApp.pack-"), error.getMessage());
        assertFalse(Files.exists(out));
    }

    /** A build tool hands the password over itself (from Maven's settings, say). */
    @ParameterizedTest
    @MethodSource("passwords")
    void aPasswordGivenByTheCallerReachesTheSigner(String given, String failure)
            throws Exception {
        assumeTrue(Signer.findOnPath(Signer.TOOL) != null && Signer.findOnPath("openssl") != null);
        PackRequest request = PackRequest.builder().name("MyApp")
                .jar(TestInputs.jar(work.resolve("app.jar"), "com.example.App", 52, true))
                .sign(key("right")).signingPassword(given)
                .signCa(work.resolve("cert.pem")).out(work.resolve("dist/MyApp")).build();
        if (failure == null) {
            Packer.pack(request, note -> {});
            assertTrue(Files.isRegularFile(work.resolve("dist/MyApp/MyApp.exe")));
        } else {
            PackException error = assertThrows(PackException.class,
                    () -> Packer.pack(request, note -> {}));
            assertTrue(error.getMessage().contains(failure), error.getMessage());
        }
    }

    static Stream<Arguments> passwords() {
        return Stream.of(Arguments.of("right", null), Arguments.of("wrong", "Wrong password"));
    }

    /** Before, the output was read to its end first, so a hung tool hung the packer. */
    @Test
    void aToolThatHangsIsEndedAtTheTimeOut() {
        // The shell waits for sleep, which holds the output pipe open too.
        List<String> hangs = List.of("sh", "-c", "sleep 600; echo done");
        PackException error = assertTimeoutPreemptively(Duration.ofSeconds(30),
                () -> assertThrows(PackException.class,
                        () -> Signer.runTool(hangs, new byte[0], "signing x", 1000)));
        assertTrue(error.getMessage().contains("did not finish in 1.0 seconds"),
                error.getMessage());
    }
}
