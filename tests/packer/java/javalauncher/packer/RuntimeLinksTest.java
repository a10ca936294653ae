package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** A runtime reached through links, or holding some, is packed with what the links name. */
class RuntimeLinksTest {
    @TempDir
    Path work;

    /** A 64-bit runtime: the packer reads only jvm.dll's machine type. */
    private Path runtime() throws IOException {
        Path runtime = Files.createDirectories(work.resolve("jdk-17/bin/server"));
        runtime = work.resolve("jdk-17");
        Files.write(runtime.resolve("bin/java.dll"), new byte[] {1});
        Files.write(runtime.resolve("bin/server/jvm.dll"), TestInputs.launcher("launcher64.exe"));
        Files.createDirectories(runtime.resolve("lib/real"));
        Files.writeString(runtime.resolve("lib/real/modules"), "modules");
        Files.createDirectories(work.resolve("outside"));
        Files.writeString(work.resolve("outside/cacerts"), "certificates");
        return runtime;
    }

    private void pack(Path runtime) throws Exception {
        Path jar = TestInputs.jar(work.resolve("in/app.jar"), "com.example.App", 52, true);
        Packer.pack(OptionParser.parse(List.of("--name", "A", "--jar", jar.toString(),
                "--runtime", runtime.toString(), "--out", work.resolve("dist").toString())));
    }

    /** Link (in the runtime) and its target relative to the link's folder. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "lib/modules-link|real/modules", "lib/current|real", "lib/nested/deeper|../real"})
    void linksInsideTheRuntimeAreCopiedAsWhatTheyName(String link, String target)
            throws Exception {
        Path runtime = runtime();
        Files.createDirectories(runtime.resolve(link).getParent());
        Files.createSymbolicLink(runtime.resolve(link), Path.of(target));

        pack(runtime);

        Path copy = work.resolve("dist/jre").resolve(link);
        assertTrue(Files.exists(copy) && !Files.isSymbolicLink(copy), copy.toString());
        Path modules = Files.isDirectory(copy) ? copy.resolve("modules") : copy;
        assertArrayEquals("modules".getBytes(), Files.readAllBytes(modules));
    }

    /** How Linux machines name their runtimes: /usr/lib/jvm/default-java. */
    @Test
    void aRuntimeGivenAsALinkIsCopiedWhole() throws Exception {
        Path runtime = runtime();
        Path link = Files.createSymbolicLink(work.resolve("default-java"), runtime);

        pack(link);

        assertArrayEquals(TestInputs.launcher("launcher64.exe"),
                Files.readAllBytes(work.resolve("dist/jre/bin/server/jvm.dll")));
        assertTrue(Files.isRegularFile(work.resolve("dist/jre/lib/real/modules")));
    }

    /** Link in the runtime, its target, and a piece of the refusal; nothing is written. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "lib/security/cacerts|../../../outside/cacerts|outside the runtime",
        "lib/conf|../../outside|outside the runtime",
        "lib/loop|..|link cycle",
        "lib/self|self|link cycle",
        "lib/gone|missing.jar|which does not exist"})
    void badLinksAreRefusedBeforeAnythingIsWritten(String link, String target, String message)
            throws Exception {
        Path runtime = runtime();
        Files.createDirectories(runtime.resolve(link).getParent());
        Files.createSymbolicLink(runtime.resolve(link), Path.of(target));

        PackException error = assertThrows(PackException.class, () -> pack(runtime));

        assertTrue(error.getMessage().contains(message) && error.getMessage().contains(link),
                error.getMessage());
        assertTrue(Files.notExists(work.resolve("dist")));
    }

    /** The settings name jre\ as a 64-bit runtime: a copy without that library must fail. */
    @Test
    void aCopyWithoutTheJvmLibraryOfItsBitnessFails() throws Exception {
        Path runtime = runtime();
        BundledRuntime bundled = BundledRuntime.inspect(runtime);
        Files.write(runtime.resolve("bin/server/jvm.dll"), TestInputs.launcher("launcher.exe"));

        PackException error = assertThrows(PackException.class,
                () -> bundled.copyTo(work.resolve("jre")));

        assertTrue(error.getMessage().contains("no 64-bit bin/server/jvm.dll"),
                error.getMessage());
    }
}
