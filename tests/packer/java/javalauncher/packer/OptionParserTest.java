package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class OptionParserTest {
    private static final List<String> REQUIRED =
            List.of("--name", "MyApp", "--jar", "app.jar", "--out", "dist");

    private static PackOptions parse(String... extra) throws UsageException {
        List<String> args = new ArrayList<>(REQUIRED);
        args.addAll(Arrays.asList(extra));
        return OptionParser.parse(args);
    }

    @Test
    void everyOptionIsTakenInBothSpellings() throws UsageException {
        PackOptions options = parse("--jar", "lib/dep.jar", "--main-class=com.example.Main",
                "--icon", "app.ico", "--version=1.2", "--company", "Example Ltd",
                "--description", "An editor", "--runtime", "jre", "--64-bit",
                "--console", "--setting", "Application/Cmd=--x=1",
                "--setting=Display/Splash Screen=a b",
                "--base-settings", "base.ini", "--upgrade-code",
                "3f2504e0-4f89-11d3-9a0c-0305e82c3301", "--sign", "key.pfx", "--password-env",
                "SIGN_PASSWORD", "--timestamp-url", "http://ts.example.com", "--sign-ca", "ca.pem");

        assertEquals("MyApp", options.name);
        assertEquals(List.of(Path.of("app.jar"), Path.of("lib/dep.jar")), options.jars);
        assertEquals("com.example.Main", options.mainClass);
        assertArrayEquals(new int[] {1, 2, 0, 0}, options.version);
        assertEquals("Example Ltd", options.company);
        assertTrue(options.allow64Bit);
        assertTrue(options.console);
        assertEquals("--x=1", options.settings.get(0).value);
        assertEquals("Splash Screen", options.settings.get(1).key);
        assertEquals("a b", options.settings.get(1).value);
        assertEquals("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}", options.upgradeCode);
        assertEquals("SIGN_PASSWORD", options.passwordVariable);
        assertEquals(Path.of("dist"), options.out);
    }

    @Test
    void helpNeedsNothingElse() throws UsageException {
        assertTrue(OptionParser.parse(List.of("--help")).help);
    }

    /** Each error names the option at fault and shows a corrected example. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "--name|MyApp|given twice",
        "--out||needs a value, e.g. --out dist/MyApp",
        "--frobnicate|x|unknown option --frobnicate",
        "stray.jar||unexpected argument \"stray.jar\"",
        "--version|1.2.x|--version \"1.2.x\": \"x\" is not a number",
        "--version|1.2.3.4.5|more than four numbers",
        "--version|70000|from 0 to 65535",
        "--upgrade-code|not-a-guid|--upgrade-code \"not-a-guid\": give a GUID",
        "--main-class|com/example/Main|--main-class com.example.Main",
        "--setting|Cmd=x|--setting \"Cmd=x\": write it as \"Section/Key=Value\"",
        "--setting|Application/=x|Section/Key=Value",
        "--timestamp-url|ftp://x|--timestamp-url \"ftp://x\"",
        "--password-env|SIGN PASSWORD|--password-env \"SIGN PASSWORD\"",
        "--name|../evil|--name \"../evil\"",
        "--name|CON|--name \"CON\"",
        "--64-bit=yes||--64-bit takes no value",
        "--console=yes||--console takes no value",
    })
    void badOptionsAreExplained(String option, String value, String expected) {
        List<String> args = new ArrayList<>(REQUIRED);
        int given = args.indexOf(option);
        if (given >= 0 && !expected.contains("twice")) {
            args.subList(given, given + 2).clear();
        }
        args.add(option);
        if (value != null) args.add(value);
        UsageException error =
                assertThrows(UsageException.class, () -> OptionParser.parse(args));
        assertTrue(error.getMessage().contains(expected), error.getMessage());
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "--jar a.jar --out d|--name is missing",
        "--name A --out d|--jar is missing",
        "--name A --jar a.jar|--out is missing",
        "--name A --jar a.jar --out d --base-settings b.ini|--base-settings needs --upgrade-code",
        "--name A --jar a.jar --out d --password-env P|apply together with --sign",
    })
    void missingPiecesAreNamed(String commandLine, String expected) {
        UsageException error = assertThrows(UsageException.class,
                () -> OptionParser.parse(List.of(commandLine.split(" "))));
        assertTrue(error.getMessage().contains(expected), error.getMessage());
    }

    /** Every option the parser takes has its own entry and example in --help. */
    @Test
    void helpDocumentsEveryOptionWithAnExample() {
        for (String option : new String[] {"--name", "--jar", "--out", "--main-class", "--icon",
                "--version", "--company", "--description", "--runtime", "--64-bit",
                "--console", "--setting", "--base-settings", "--upgrade-code", "--sign",
                "--password-env", "--timestamp-url", "--sign-ca", "--help"}) {
            assertTrue(HelpText.TEXT.contains("\n  " + option), option);
            assertTrue(HelpText.TEXT.contains("e.g. " + HelpText.exampleOf(option)), option);
            assertTrue(HelpText.exampleOf(option).startsWith(option), option);
        }
    }
}
