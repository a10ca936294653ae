package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/**
 * The launcher takes a value from the settings file over the base text's, so what the packer
 * writes decides which wins: a base value stays unless the user overrides it, and then is told.
 */
class BaseSettingsTest {
    @TempDir
    Path work;

    private static final String JRE = "[Java Runtime Environment]/";

    /**
     * Base text ("/" for line ends), extra options (";"-separated), lines the main settings
     * file must hold and must not hold ("!" in front; ";"-separated), and a piece of the notes.
     */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        JRE + "Minimum Version=11||Maximum Version=any;!Minimum Version|",
        JRE + "Maximum Version=17||Minimum Version=1.8;!Maximum Version|",
        JRE + "Main Class=com.example.Other||!Main Class;Minimum Version=11|",
        JRE + "Minimum Version=11|--setting;Java Runtime Environment/Minimum Version=17"
            + "|Minimum Version=17|overrides \"Minimum Version=11\"",
        JRE + "Main Class=com.example.Other|--main-class;com.example.App"
            + "|Main Class=com.example.App|--main-class com.example.App overrides",
        "[java runtime environment]/Minimum Version=11||Minimum Version=1.8|exact letter case",
        "[Class Path]/Class Path=C:\\shared\\x.jar||!Class Path=|does not name lib\\app.jar",
        "[Application]/Pair Product=Other.exe|--64-bit|!Pair Product;Override WorkingDir=Yes|",
        "[Product Information]/Product Name=X||Product Name=MyApp|is not read",
        JRE + "Minimum Version=/||Minimum Version=1.8|",
    })
    void baseValuesStayUnlessTheUserOverridesThem(String base, String extra, String expected,
            String note) throws Exception {
        Path jar = TestInputs.jar(work.resolve("in/app.jar"), "com.example.App", 52, true);
        TestInputs.jar(work.resolve("in/other.jar"), "com.example.Other", 55, false);
        List<String> args = new ArrayList<>(List.of("--name", "MyApp", "--jar", jar.toString(),
                "--jar", work.resolve("in/other.jar").toString(), "--base-settings", "base.ini",
                "--upgrade-code", "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}", "--out", "dist"));
        if (extra != null) args.addAll(Arrays.asList(extra.split(";")));
        PackOptions options = OptionParser.parse(args);
        BaseText text = BaseText.parse(base.replace("/", "\n"));
        List<String> notes = new ArrayList<>();
        LaunchTarget target = LaunchTarget.resolve(options, PackSettings.userSettings(options),
                text, notes);

        PackSettings settings = PackSettings.build(options, text, target,
                List.of("app.jar", "other.jar"), false);

        String ini = settings.main.toText();
        for (String line : expected.split(";")) {
            boolean absent = line.startsWith("!");
            String wanted = absent ? line.substring(1) : line;
            assertEquals(!absent, ini.contains(wanted), line + " in\n" + ini);
        }
        notes.addAll(settings.notes);
        if (note == null) {
            assertTrue(notes.isEmpty(), notes.toString());
        } else {
            assertTrue(notes.stream().anyMatch(n -> n.contains(note)), notes.toString());
        }
    }

    /** Key lookups as the launcher makes them: exact case, first section and entry win. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "[A]/k=v|v", "[A]/  k  =  v  |v", "\uFEFF[A]/k=v|v", "[a]/k=v|", "[A]/K=v|",
        "[A]/[A]/k=v|", "[A]/k=1/k=2|1", "k=v/[A]|", "[ A ]/k=v|", "'  [A]  /k=v'|v",
        "[A]/;k=v/k=w|w"})
    void theBaseTextIsReadAsTheLauncherReadsIt(String text, String value) {
        assertEquals(value, BaseText.parse(text.replace("/", "\r\n")).get("A", "k"), text);
    }
}
