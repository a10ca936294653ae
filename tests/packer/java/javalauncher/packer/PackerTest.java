package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import javalauncher.packer.pe.PeFile;
import javalauncher.packer.pe.ResourceName;
import javalauncher.packer.resources.Branding;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class PackerTest {
    @TempDir
    Path work;

    private PackOptions options(String... extra) throws Exception {
        Path jar = TestInputs.jar(work.resolve("in/app.jar"), "com.example.App", 52, true);
        List<String> args = new java.util.ArrayList<>(List.of("--name", "MyApp", "--jar",
                jar.toString(), "--out", work.resolve("dist/MyApp").toString()));
        args.addAll(List.of(extra));
        return OptionParser.parse(args);
    }

    private String ini(String name) throws IOException {
        byte[] bytes = Files.readAllBytes(work.resolve("dist/MyApp").resolve(name));
        assertEquals((byte) 0xFF, bytes[0]);
        return new String(bytes, 2, bytes.length - 2, StandardCharsets.UTF_16LE);
    }

    /** A runtime folder whose jvm.dll is a launcher: the packer only reads its machine type. */
    private Path fakeRuntime(String jvmType, String launcher) throws IOException {
        Path runtime = work.resolve("runtime");
        Files.createDirectories(runtime.resolve("bin/" + jvmType));
        Files.write(runtime.resolve("bin/java.dll"), new byte[0]);
        Files.write(runtime.resolve("bin/" + jvmType + "/jvm.dll"), TestInputs.launcher(launcher));
        return runtime;
    }

    private List<String> listing(Path folder) throws IOException {
        try (Stream<Path> files = Files.walk(folder)) {
            return files.map(file -> folder.relativize(file).toString()).sorted()
                    .collect(Collectors.toList());
        }
    }

    @Test
    void packsTheLayoutWithMainClassAndJavaVersionFromTheJar() throws Exception {
        Packer.pack(options("--setting", "Application/Cmd=--x \"a b\""));

        Path out = work.resolve("dist/MyApp");
        assertEquals(List.of("", "MyApp.exe", "MyApp.ini", "MyApp64.exe", "MyApp64.ini",
                "javalauncher-pack-files.txt", "lib", "lib/app.jar"), listing(out));
        String ini = ini("MyApp.ini");
        assertTrue(ini.contains("Main Class=com.example.App\r\n"), ini);
        assertTrue(ini.contains("Minimum Version=1.8\r\nMaximum Version=any\r\n"), ini);
        assertTrue(ini.contains("Class Path=\\lib\\app.jar\r\n"), ini);
        assertTrue(ini.contains("[Application]\r\nCmd=--x \"a b\"\r\n"), ini);
        assertFalse(ini.contains("Pair Product"), ini);
        assertFalse(PeFile.read(Files.readAllBytes(out.resolve("MyApp.exe"))).is64Bit());
        assertTrue(PeFile.read(Files.readAllBytes(out.resolve("MyApp64.exe"))).is64Bit());
        try (Stream<Path> siblings = Files.list(work.resolve("dist"))) {
            assertEquals(1, siblings.count(), "no staging folder is left behind");
        }
    }

    /** A 64-bit runtime beside a 32-bit launcher is only reachable through the pair. */
    @Test
    void a64BitRuntimeMakesTheMainExecutableHandOverToItsPair() throws Exception {
        Path runtime = fakeRuntime("server", "launcher64.exe");

        Packer.pack(options("--runtime", runtime.toString(),
                "--setting", "Application/Pair Return Code=No"));

        String main = ini("MyApp.ini");
        assertTrue(main.contains("Pair Product=MyApp64.exe\r\n"), main);
        assertTrue(main.contains("Pair Return Code=No\r\n"), "the user's setting wins: " + main);
        assertTrue(main.contains("JRE Path=jre\r\n"), main);
        assertTrue(main.contains("Override WorkingDir=Yes\r\n"), main);
        String pair = ini("MyApp64.ini");
        assertFalse(pair.contains("Pair Product") || pair.contains("JRE Path"), pair);
        assertTrue(Files.isRegularFile(work.resolve("dist/MyApp/jre/bin/server/jvm.dll")));
    }

    @Test
    void baseSettingsGoIntoBothExecutablesWithWindowsLineEnds() throws Exception {
        Path base = work.resolve("base.ini");
        Files.writeString(base, "[Application]\nCmd=ü\n");

        Packer.pack(options("--base-settings", base.toString(), "--upgrade-code",
                "{3f2504e0-4f89-11d3-9a0c-0305e82c3301}"));

        byte[] expected = "\uFEFF[Application]\r\nCmd=ü\r\n".getBytes(StandardCharsets.UTF_16LE);
        for (String exe : new String[] {"MyApp.exe", "MyApp64.exe"}) {
            byte[] data = PeFile.read(Files.readAllBytes(work.resolve("dist/MyApp").resolve(exe)))
                    .resources().get(Branding.BASE_SETTINGS_TYPE,
                            ResourceName.of("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}"), 0);
            assertArrayEquals(expected, data, exe);
        }
        assertTrue(ini("MyApp.ini").contains(
                "Upgrade Code={3F2504E0-4F89-11D3-9A0C-0305E82C3301}\r\n"));
    }

    /**
     * A failure after the executables are written (here: signing with a broken key) leaves
     * --out as it was and no staging folder behind.
     */
    @Test
    void aFailedPackWritesNothing() throws Exception {
        Packer.pack(options());
        Path out = work.resolve("dist/MyApp");
        byte[] before = Files.readAllBytes(out.resolve("MyApp.exe"));
        Path brokenKey = Files.writeString(work.resolve("broken.pfx"), "not a key");

        PackException error = assertThrows(PackException.class,
                () -> Packer.pack(options("--version", "2.0", "--sign", brokenKey.toString())));

        assertTrue(error.getMessage().contains("signing"), error.getMessage());
        assertArrayEquals(before, Files.readAllBytes(out.resolve("MyApp.exe")));
        try (Stream<Path> siblings = Files.list(work.resolve("dist"))) {
            assertEquals(1, siblings.count());
        }
    }

    /** Packing again replaces the earlier pack whole: nothing of it lingers. */
    @Test
    void anEarlierPackIsReplacedWhole() throws Exception {
        Packer.pack(options("--runtime", fakeRuntime("client", "launcher.exe").toString()));
        Path out = work.resolve("dist/MyApp");
        assertTrue(Files.isDirectory(out.resolve("jre")));

        Packer.pack(options("--company", "Second Ltd"));

        assertFalse(Files.exists(out.resolve("jre")));
        byte[] exe = Files.readAllBytes(out.resolve("MyApp.exe"));
        assertTrue(new String(exe, StandardCharsets.UTF_16LE).contains("Second Ltd"));
        try (Stream<Path> siblings = Files.list(work.resolve("dist"))) {
            assertEquals(1, siblings.count(), "the old pack is removed");
        }
    }

    @Test
    void aFolderOfOtherFilesIsNeverReplaced() throws Exception {
        Path out = Files.createDirectories(work.resolve("dist/MyApp"));
        Files.writeString(out.resolve("notes.txt"), "mine");

        PackException error = assertThrows(PackException.class, () -> Packer.pack(options()));

        assertTrue(error.getMessage().contains("already holds other files"), error.getMessage());
        assertEquals(List.of("", "notes.txt"), listing(out));
    }

    @Test
    void inputProblemsAreNamedBeforeAnythingIsWritten() throws Exception {
        Path noMain = TestInputs.jar(work.resolve("in/lib.jar"), "com.example.Lib", 52, false);
        Path badIcon = Files.writeString(work.resolve("bad.ico"), "not an icon");
        Path out = work.resolve("dist/MyApp");
        Object[][] cases = {
            {List.of("--jar", noMain.toString()), "names no Main-Class"},
            {List.of("--jar", noMain.toString(), "--main-class", "com.example.Missing"),
                "no jar given holds"},
            {List.of("--jar", noMain.toString(), "--main-class", "com.example.Lib", "--icon",
                badIcon.toString()), "--icon " + badIcon},
            {List.of("--jar", noMain.toString(), "--main-class", "com.example.Lib", "--icon",
                work.resolve("none.ico").toString()), "no such file"},
            {List.of("--jar", noMain.toString(), "--main-class", "com.example.Lib",
                "--runtime", work.toString()), "no bin/java.dll"},
            {List.of("--jar", work.resolve("other/app.jar").toString()), "no such file"},
            {List.of("--jar", Files.copy(noMain, work.resolve("in/a;b.jar")).toString(),
                "--main-class", "com.example.Lib"), "rename the jar"},
        };
        for (Object[] testCase : cases) {
            @SuppressWarnings("unchecked")
            List<String> args = new java.util.ArrayList<>((List<String>) testCase[0]);
            args.addAll(List.of("--name", "A", "--out", out.toString()));
            PackOptions options = OptionParser.parse(args);
            PackException error =
                    assertThrows(PackException.class, () -> Packer.pack(options), args.toString());
            assertTrue(error.getMessage().contains((String) testCase[1]), error.getMessage());
            assertFalse(Files.exists(work.resolve("dist")), "nothing written for " + args);
        }
    }

    /** Copying a runtime into a folder inside itself would fill the disk. */
    @Test
    void anOutputFolderInsideTheRuntimeIsRefused() throws Exception {
        Path runtime = fakeRuntime("client", "launcher.exe");
        Path jar = TestInputs.jar(work.resolve("in/app.jar"), "com.example.App", 52, true);
        PackOptions options = OptionParser.parse(List.of("--name", "A", "--jar", jar.toString(),
                "--runtime", runtime.toString(), "--out", runtime.resolve("dist/A").toString()));

        PackException error = assertThrows(PackException.class, () -> Packer.pack(options));

        assertTrue(error.getMessage().contains("lies inside --runtime"), error.getMessage());
        assertFalse(Files.exists(runtime.resolve("dist")));
    }

    /** The base text is found by the code in the settings file; two codes would lose it. */
    @Test
    void anUpgradeCodeSettingThatDiffersFromTheOptionIsRefused() throws Exception {
        Path base = Files.writeString(work.resolve("base.ini"), "[Application]\n");
        UsageException error = assertThrows(UsageException.class, () -> Packer.pack(options(
                "--base-settings", base.toString(),
                "--upgrade-code", "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}",
                "--setting",
                "product information/UPGRADE CODE={00000000-0000-0000-0000-000000000000}")));
        assertTrue(error.getMessage().contains("differs from --upgrade-code"), error.getMessage());
    }

    @Test
    void twoJarsOfOneNameAreRefused() throws Exception {
        Path other = TestInputs.jar(work.resolve("other/app.jar"), "com.example.B", 52, false);
        PackException error = assertThrows(PackException.class,
                () -> Packer.pack(options("--jar", other.toString())));
        assertTrue(error.getMessage().contains("rename one"), error.getMessage());
    }

    @Test
    void classFileVersionsMapToTheLaunchersVersionSpelling() {
        assertEquals("1.6", JarInspector.javaVersionFor(50));
        assertEquals("1.8", JarInspector.javaVersionFor(52));
        assertEquals("9", JarInspector.javaVersionFor(53));
        assertEquals("21", JarInspector.javaVersionFor(65));
    }
}
