package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** --name and the jar names become Windows file names: Windows' rules, not ASCII's. */
class WindowsNamesTest {
    @TempDir
    Path work;

    /** Name, then a piece of the rule the message names (empty: accepted). */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "Ωμέγα|", "应用程序|", "Données 2|", "My App.v2|", "CONSOLE|", "COM10|", "LPT0|",
        "CON|device name", "con|device name", "Nul.txt|device name", "COM1.tar.gz|device name",
        "lpt9|device name", "AUX .x|device name", "COM\u00B9|device name",
        "App.|ends in a dot", "'App '|ends in a blank",
        "a<b|Windows allows none of", "a:b|Windows allows none of", "a\"b|Windows allows none",
        "'a|b'|Windows allows none of", "a?b|Windows allows none of", "a*b|Windows allows none of",
        "a\\b|Windows allows none of", "a\tb|control character"})
    void nameRules(String name, String rule) throws Exception {
        String problem = WindowsNames.problemOf(name);
        if (rule == null) {
            assertEquals(null, problem, name);
            assertEquals(name, OptionParser.parse(List.of("--name", name, "--jar", "a.jar",
                    "--out", "d")).name);
        } else {
            assertTrue(problem != null && problem.contains(rule), name + ": " + problem);
            UsageException error = assertThrows(UsageException.class, () -> OptionParser.parse(
                    List.of("--name", name, "--jar", "a.jar", "--out", "d")));
            assertTrue(error.getMessage().contains(rule), error.getMessage());
        }
    }

    @Test
    void aLongNameIsRefusedWithItsLength() {
        UsageException error = assertThrows(UsageException.class, () -> OptionParser.parse(
                List.of("--name", "a".repeat(101), "--jar", "a.jar", "--out", "d")));
        assertTrue(error.getMessage().contains("longer than 100"), error.getMessage());
    }

    /** Jar names go to lib\ as they are. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {"CON.jar|device name", "a<b>.jar|Windows allows none",
        "lib:x.jar|Windows allows none", "app.jar.|ends in a dot", "a\u0001.jar|control"})
    void jarNamesWindowsCannotHoldAreRefused(String name, String rule) throws Exception {
        Path jar = TestInputs.jar(work.resolve("in").resolve(name), "com.example.App", 52, true);
        PackOptions options = OptionParser.parse(List.of("--name", "A", "--jar", jar.toString(),
                "--out", work.resolve("dist").toString()));

        PackException error = assertThrows(PackException.class, () -> Packer.pack(options));

        assertTrue(error.getMessage().contains(rule) && error.getMessage().contains("rename"),
                error.getMessage());
        assertTrue(Files.notExists(work.resolve("dist")));
    }
}
