package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.nio.charset.StandardCharsets;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class SettingsFileTest {
    /** The value as written, so that the profile functions read back what was set. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', quoteCharacter = '`', value = {
        "plain|plain",
        "with spaces inside|with spaces inside",
        "-Dname=a=b|-Dname=a=b",
        "Grüße 日本|Grüße 日本",
        "`\"quoted\"`|`\"\"quoted\"\"`",
        "'single'|`\"'single'\"`",
        "`\"open only`|`\"open only`",
        "` leading blank`|`\" leading blank\"`",
        "`trailing blank `|`\"trailing blank \"`",
        "``|``",
    })
    void valuesAreWrittenSoTheyReadBackUnchanged(String value, String written) {
        SettingsFile file = new SettingsFile();
        file.set("Application", "Cmd", value);
        assertEquals("[Application]\r\nCmd=" + written + "\r\n", file.toText());
    }

    @Test
    void sectionsAndKeysMatchWithoutCaseAndKeepFirstSpellingAndOrder() {
        SettingsFile file = new SettingsFile();
        file.set("Java Runtime Environment", "Main Class", "a.B");
        file.set("Class Path", "Class Path", "\\lib\\a.jar");
        file.set("java runtime environment", "MAIN CLASS", "c.D");
        file.setDefault("Java Runtime Environment", "main class", "ignored");

        assertEquals("c.D", file.get("JAVA RUNTIME ENVIRONMENT", "Main Class"));
        assertEquals("[Java Runtime Environment]\r\nMAIN CLASS=c.D\r\n\r\n"
                + "[Class Path]\r\nClass Path=\\lib\\a.jar\r\n", file.toText());
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "Sec]tion|Key|v",
        "Section|Ke=y|v",
        "Section|;Key|v",
        "Section|[Key|v",
        "''|Key|v",
    })
    void namesTheFileCannotHoldAreRefused(String section, String key, String value) {
        SettingsFile file = new SettingsFile();
        assertThrows(IllegalArgumentException.class, () -> file.set(section, key, value));
    }

    @Test
    void lineBreaksInValuesAreRefused() {
        SettingsFile file = new SettingsFile();
        assertThrows(IllegalArgumentException.class, () -> file.set("A", "B", "one\ntwo"));
        assertThrows(IllegalArgumentException.class, () -> file.set("A", "B", "one\rtwo"));
    }

    @Test
    void encodedAsUtf16LittleEndianWithByteOrderMark() {
        byte[] encoded = SettingsFile.encode("[ü]");
        byte[] expected = ("\uFEFF[ü]").getBytes(StandardCharsets.UTF_16LE);
        assertArrayEquals(expected, encoded);
    }
}
