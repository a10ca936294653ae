package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;
import java.util.stream.Stream;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Packing into a folder that already holds things: only what the packer wrote may go. */
class RepackTest {
    @TempDir
    Path work;

    /** Prepares --out (dist/MyApp) before the pack under test. */
    interface Setup {
        void prepare(RepackTest test, Path out) throws Exception;
    }

    Path jar(String name) throws IOException {
        return TestInputs.jar(work.resolve("in/" + name), "com.example.App", 52, true);
    }

    void pack(String... extra) throws Exception {
        List<String> args = new ArrayList<>(List.of("--jar", jar("app.jar").toString(), "--out",
                work.resolve("dist/MyApp").toString()));
        args.addAll(List.of(extra));
        if (!args.contains("--name")) args.addAll(List.of("--name", "MyApp"));
        Packer.pack(OptionParser.parse(args));
    }

    Path runtime() throws IOException {
        Path runtime = work.resolve("runtime");
        Files.createDirectories(runtime.resolve("bin/client"));
        Files.createDirectories(runtime.resolve("lib/ext"));
        Files.write(runtime.resolve("bin/java.dll"), new byte[0]);
        Files.write(runtime.resolve("bin/client/jvm.dll"), TestInputs.launcher("launcher.exe"));
        return runtime;
    }

    /** Every file and folder under root with a digest of its content. */
    static Map<String, String> snapshot(Path root) throws IOException {
        Map<String, String> entries = new TreeMap<>();
        if (!Files.exists(root)) return entries;
        try (Stream<Path> walk = Files.walk(root)) {
            for (Path path : (Iterable<Path>) walk::iterator) {
                entries.put(PackRecord.relative(root, path),
                        Files.isDirectory(path) ? "folder" : PackRecord.sha256(path));
            }
        }
        return entries;
    }

    static void write(Path file, String text) throws IOException {
        Files.createDirectories(file.getParent());
        Files.writeString(file, text);
    }

    static Setup earlierPackWith(String... userFiles) {
        return (test, out) -> {
            test.pack();
            for (String file : userFiles) write(out.resolve(file), "the user's " + file);
        };
    }

    static Setup earlierPackWithRecord(String line) {
        return (test, out) -> {
            test.pack();
            Files.writeString(out.resolve(PackRecord.FILE_NAME), line, StandardOpenOption.APPEND);
        };
    }

    static Stream<Arguments> refusals() {
        String hash = "0".repeat(64);
        return Stream.of(
                Arguments.of("unrelated files beside an empty MyApp.exe and MyApp.ini",
                        (Setup) (test, out) -> {
                            for (String file : List.of("MyApp.exe", "MyApp.ini", "thesis.docx",
                                    "photos/beach.jpg")) {
                                write(out.resolve(file), file.endsWith("App.exe")
                                        || file.endsWith("App.ini") ? "" : "mine");
                            }
                        },
                        "already holds other files"),
                Arguments.of("a file the earlier pack wrote was changed since",
                        (Setup) (test, out) -> {
                            test.pack();
                            Files.writeString(out.resolve("MyApp.ini"), "[JRE]\r\n",
                                    StandardOpenOption.APPEND);
                        },
                        "MyApp.ini changed since"),
                Arguments.of("the new pack would replace a file the packer did not write",
                        earlierPackWith("lib/extra.jar"), "would replace lib/extra.jar"),
                Arguments.of("a record naming a file outside the folder",
                        earlierPackWithRecord(hash + "  ../outside.txt\n"), "is damaged"),
                Arguments.of("a record naming an absolute path",
                        earlierPackWithRecord(hash + "  /outside.txt\n"), "is damaged"),
                Arguments.of("a record climbing out from inside",
                        earlierPackWithRecord(hash + "  lib/../../outside.txt\n"), "is damaged"),
                Arguments.of("a record line without a sum",
                        earlierPackWithRecord("lib/app.jar\n"), "is damaged"));
    }

    /** Each was packed over (deleting the user's files) or replaced whole before. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("refusals")
    void foldersThePackerCannotReplaceSafelyAreLeftAsTheyAre(String what, Setup setup,
            String message) throws Exception {
        Path out = work.resolve("dist/MyApp");
        write(work.resolve("dist/outside.txt"), "beside");
        setup.prepare(this, out);
        Map<String, String> before = snapshot(work.resolve("dist"));

        PackException error = assertThrows(PackException.class,
                () -> pack("--company", "Second Ltd", "--jar", jar("extra.jar").toString()));

        assertTrue(error.getMessage().contains(message), error.getMessage());
        assertEquals(before, snapshot(work.resolve("dist")));
    }

    static Stream<Arguments> repacks() {
        return Stream.of(
                Arguments.of("the application's logs, plug-ins and preferences stay",
                        earlierPackWith("logs/app.log", "lib/plugins/extra.jar", "prefs.xml"),
                        new String[] {"--company", "Second Ltd"},
                        List.of("logs/app.log", "lib/plugins/extra.jar", "prefs.xml"),
                        List.of()),
                Arguments.of("a runtime no longer asked for goes, a user's file in it stays",
                        (Setup) (test, out) -> {
                            test.pack("--runtime", test.runtime().toString());
                            write(out.resolve("jre/lib/security/local.policy"), "mine");
                        },
                        new String[] {"--company", "Second Ltd"},
                        List.of("jre/lib/security/local.policy"),
                        List.of("jre/bin", "jre/lib/ext")),
                Arguments.of("a pack under another name replaces the earlier one's files",
                        earlierPackWith("logs/app.log"),
                        new String[] {"--name", "Other"},
                        List.of("logs/app.log", "Other.exe", "Other64.ini"),
                        List.of("MyApp.exe", "MyApp64.ini")),
                Arguments.of("a file the user deleted from the earlier pack is no obstacle",
                        (Setup) (test, out) -> {
                            test.pack();
                            Files.delete(out.resolve("MyApp64.exe"));
                        },
                        new String[] {"--company", "Second Ltd"},
                        List.of("MyApp64.exe"),
                        List.of()));
    }

    /** Before, the whole folder was replaced: everything but the new pack was gone. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("repacks")
    void packingAgainReplacesOnlyWhatThePackerWrote(String what, Setup setup, String[] args,
            List<String> present, List<String> absent) throws Exception {
        Path out = work.resolve("dist/MyApp");
        setup.prepare(this, out);
        Map<String, String> before = snapshot(out);

        pack(args);

        Map<String, String> after = snapshot(out);
        for (String path : present) assertTrue(after.containsKey(path), path + " in " + after);
        for (String path : absent) assertFalse(after.containsKey(path), path + " in " + after);
        for (String path : present) {
            if (before.containsKey(path) && !path.endsWith(".exe") && !path.endsWith(".ini")) {
                assertEquals(before.get(path), after.get(path), path);
            }
        }
        PackRecord record = PackRecord.read(out);
        assertTrue(record.changedIn(out).isEmpty());
        assertFalse(record.files.keySet().stream().anyMatch(
                path -> path.startsWith("logs/") || path.equals("prefs.xml")));
        try (Stream<Path> siblings = Files.list(work.resolve("dist"))) {
            assertEquals(1, siblings.count(), "no work folder is left behind");
        }
    }
}
