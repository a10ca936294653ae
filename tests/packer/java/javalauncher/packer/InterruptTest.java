package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * A pack killed at each step of moving into --out: the folders as the kill left them are
 * copied at that step, put back after the pack has ended, and a later run has to bring --out
 * back to a whole pack (the earlier one, or the new one once its record is in) with nothing
 * left beside it.
 */
class InterruptTest {
    @TempDir
    Path work;

    /** Stands for the kill: it ends the pack where a kill would. */
    private static final class Killed extends RuntimeException {
        private static final long serialVersionUID = 1L;
    }

    private final RepackTest packs = new RepackTest();

    private Path dist() {
        return work.resolve("dist");
    }

    private void pack(String... extra) throws Exception {
        packs.work = work;
        packs.pack(extra);
    }

    private static void copyTree(Path from, Path to) throws IOException {
        try (Stream<Path> walk = Files.walk(from)) {
            for (Path path : (Iterable<Path>) walk::iterator) {
                Path copy = to.resolve(PackRecord.relative(from, path));
                if (Files.isDirectory(path)) {
                    Files.createDirectories(copy);
                } else {
                    Files.copy(path, copy);
                }
            }
        }
    }

    static Stream<Arguments> kills() {
        return Stream.of(
                Arguments.of("staged", true, "the earlier pack"),
                Arguments.of("moved-aside", true, "the earlier pack"),
                Arguments.of("moved-in", true, "the earlier pack"),
                Arguments.of("recorded", true, "the new pack"),
                Arguments.of("staged", false, "the earlier pack"),
                Arguments.of("recorded", false, "the new pack"));
    }

    /** Before, a kill left hidden folders for good, and between two renames no --out at all. */
    @ParameterizedTest(name = "killed at {0}, earlier pack: {1}, then {2}")
    @MethodSource("kills")
    void aLaterRunUndoesWhatAKilledPackLeft(String point, boolean earlier, String expected)
            throws Exception {
        Path out = dist().resolve("MyApp");
        Files.createDirectories(dist());
        if (earlier) {
            pack();
            RepackTest.write(out.resolve("logs/app.log"), "the application's log");
        }
        Map<String, String> before = RepackTest.snapshot(dist());
        Path frozen = work.resolve("frozen");
        Checkpoint.hook = reached -> {
            if (!reached.equals(point)) return;
            try {
                copyTree(dist(), frozen);
            } catch (IOException e) {
                throw new IllegalStateException(e);
            }
            throw new Killed();
        };
        try {
            assertThrows(Killed.class, () -> pack("--company", "Second Ltd"));
        } finally {
            Checkpoint.hook = null;
        }
        Leftovers.deleteTree(dist());
        copyTree(frozen, dist());

        List<String> notes = Leftovers.recover(out);

        assertEquals(1, notes.size(), notes.toString());
        if (expected.equals("the earlier pack")) {
            assertEquals(before, RepackTest.snapshot(dist()));
        } else {
            assertEquals(List.of("MyApp"), RepackTest.snapshot(dist()).keySet().stream()
                    .filter(path -> !path.contains("/") && !path.isEmpty())
                    .collect(java.util.stream.Collectors.toList()));
            assertTrue(new String(Files.readAllBytes(out.resolve("MyApp.exe")),
                    StandardCharsets.UTF_16LE).contains("Second Ltd"));
            assertTrue(PackRecord.read(out).changedIn(out).isEmpty());
        }
        pack("--company", "Third Ltd");
        assertEquals(earlier, Files.exists(out.resolve("logs/app.log")));
    }

    /**
     * A packer before the record moved the earlier pack aside whole and was killed before
     * moving the new one in. The pack is put back as it was; without a record it is then
     * refused like any folder of other files.
     */
    @Test
    void anEarlierPackMovedAsideWholeIsPutBack() throws Exception {
        pack();
        Path out = dist().resolve("MyApp");
        Files.delete(out.resolve(PackRecord.FILE_NAME));
        Map<String, String> before = RepackTest.snapshot(out);
        Leftovers.move(out, dist().resolve(".MyApp.old-3fa9c2"));

        PackException error = assertThrows(PackException.class, () -> pack("--version", "2"));

        assertTrue(error.getMessage().contains("already holds other files"), error.getMessage());
        assertEquals(List.of("", "MyApp"), List.copyOf(RepackTest.snapshot(dist()).keySet())
                .subList(0, 2));
        assertEquals(before, RepackTest.snapshot(out));
    }

    /** Two packs into one folder at once would each move the other's files. */
    @Test
    void aPackStillRunningIntoTheFolderIsLeftAlone() throws Exception {
        Files.createDirectories(dist());
        WorkFolder running = WorkFolder.create(dist().resolve("MyApp"));
        try {
            PackException error = assertThrows(PackException.class, this::pack);
            assertTrue(error.getMessage().contains("another pack into it is running"),
                    error.getMessage());
            assertTrue(Files.isDirectory(running.staged()));
        } finally {
            running.remove();
        }
    }
}
