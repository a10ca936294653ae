package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.file.AccessDeniedException;
import java.nio.file.FileSystemException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** Messages say what the user did and what to do about it, in words. */
class MessagesTest {
    @TempDir
    Path work;

    @Test
    void aFolderGivenAsJarIsCalledAFolder() throws Exception {
        Path folder = Files.createDirectories(work.resolve("build/libs"));
        PackOptions options = OptionParser.parse(List.of("--name", "A", "--jar",
                folder.toString(), "--out", work.resolve("dist").toString()));

        PackException error = assertThrows(PackException.class, () -> Packer.pack(options));

        assertTrue(error.getMessage().contains("is a folder; give the jar file"),
                error.getMessage());
    }

    /** An option where a value belongs means the value was forgotten. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {"--name|--jar", "--jar|--out", "--out|--64-bit",
        "--main-class|--icon=a.ico", "--description|-h"})
    void anOptionInPlaceOfAValueSaysTheValueIsMissing(String option, String next) {
        List<String> args = new ArrayList<>(List.of(option, next, "x"));
        UsageException error = assertThrows(UsageException.class, () -> OptionParser.parse(args));
        assertTrue(error.getMessage().startsWith(option + " needs a value"), error.getMessage());
    }

    /** Values that only look like options are values. */
    @Test
    void aValueStartingWithDashesIsKept() throws Exception {
        PackOptions options = OptionParser.parse(List.of("--name", "A", "--jar", "a.jar",
                "--out", "d", "--description", "--fast--", "--company", "-h-"));
        assertEquals("--fast--", options.description);
        assertEquals("-h-", options.company);
    }

    /** Failure, then the message; never an exception class name. */
    @Test
    void ioFailuresAreNamedInWords() {
        Path staging = Path.of("/tmp/.out.pack-1");
        Path out = Path.of("dist/MyApp");
        Object[][] cases = {
            {IoMessages.reading(Path.of("app.ico"), new AccessDeniedException("app.ico")),
                "permission denied reading app.ico"},
            {IoMessages.writing(Path.of("x"), new IOException("No space left on device")),
                "no space left on the device while writing x"},
            {IoMessages.duringPack(new IoMessages.FileFailure(staging.resolve("lib/app.jar"),
                true, new IOException("No space left on device")), staging, out),
                "no space left on the device while writing dist/MyApp/lib/app.jar"},
            {IoMessages.duringPack(new FileSystemException(staging.resolve("A.ini").toString(),
                null, "Read-only file system"), staging, out),
                "the file system is read-only while writing dist/MyApp/A.ini"},
            {IoMessages.duringPack(new AccessDeniedException("/opt/jdk/lib/modules"), staging,
                out), "permission denied reading /opt/jdk/lib/modules"},
            {IoMessages.duringPack(new IOException(), staging, out),
                "writing the pack into dist/MyApp failed: an input/output error"},
        };
        for (Object[] testCase : cases) {
            assertEquals(testCase[1], testCase[0]);
            assertFalse(((String) testCase[0]).contains("Exception"));
        }
    }

    /** An unreadable input is named with what happened, not with the Java exception's text. */
    @Test
    void aJarThatIsNoZipFileSaysSo() throws Exception {
        Path jar = Files.writeString(work.resolve("app.jar"), "not a zip");
        PackOptions options = OptionParser.parse(List.of("--name", "A", "--jar", jar.toString(),
                "--out", work.resolve("dist").toString()));

        PackException error = assertThrows(PackException.class, () -> Packer.pack(options));

        assertTrue(error.getMessage().contains("not a jar (zip) file"), error.getMessage());
    }

    /** Class file major version, then the written version and a piece of the warning. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {"46|1.2|", "52|1.8|", "69|25|",
        "45|1.2|compiled for Java 1.1", "70|26|newer than any Java", "65535|65491|newer than"})
    void minimumVersionsOutsideKnownJavasAreWarnedAbout(int major, String java, String warning)
            throws Exception {
        List<String> notes = new ArrayList<>();
        assertEquals(java, LaunchTarget.minimumJavaFor(major, "com.example.App", notes));
        if (warning == null) {
            assertTrue(notes.isEmpty(), notes.toString());
        } else {
            assertTrue(notes.size() == 1 && notes.get(0).contains(warning), notes.toString());
        }
    }

    @ParameterizedTest
    @CsvSource({"0", "44"})
    void classFileVersionsNoJavaWroteAreRefused(int major) {
        PackException error = assertThrows(PackException.class,
                () -> LaunchTarget.minimumJavaFor(major, "com.example.App", new ArrayList<>()));
        assertTrue(error.getMessage().contains("which no Java ever wrote"), error.getMessage());
    }
}
