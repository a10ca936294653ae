package javalauncher.packer;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.DirectoryStream;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.BasicFileAttributes;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.stream.Stream;

/**
 * What killed packs leave beside --out, and how a later run undoes it. A work folder whose
 * packer is gone is removed; if the kill came while files were moving into --out, the new
 * files are taken out again and the earlier pack's files put back first, so --out ends as it
 * was before that pack. Folders ".OUT.old-RANDOM" come from packers before the record of
 * written files: such a folder is the whole earlier pack, moved back when --out is missing.
 */
final class Leftovers {
    private static final LinkOption[] NO_FOLLOW = {LinkOption.NOFOLLOW_LINKS};

    private Leftovers() {}

    /** Undoes the leftovers of packs into target; returns what it did, for the user. */
    static List<String> recover(Path target) throws PackException {
        List<String> notes = new ArrayList<>();
        Path parent = target.getParent();
        String name = target.getFileName().toString();
        if (!Files.isDirectory(parent)) return notes;
        List<Path> entries = new ArrayList<>();
        try (DirectoryStream<Path> list = Files.newDirectoryStream(parent,
                entry -> entry.getFileName().toString().startsWith("." + name + "."))) {
            list.forEach(entries::add);
        } catch (IOException e) {
            throw new PackException("--out " + target + ": cannot list the folder around it ("
                    + e.getMessage() + ")");
        }
        for (Path entry : entries) {
            String entryName = entry.getFileName().toString();
            if (!Files.isDirectory(entry, NO_FOLLOW)) continue;
            if (WorkFolder.isWorkFolderName(name, entryName)) {
                notes.add(recoverWorkFolder(entry, target));
            } else if (entryName.substring(name.length() + 2).matches("old-[0-9a-f]{1,16}")) {
                notes.add(recoverOldPack(entry, target));
            }
        }
        return notes;
    }

    private static String recoverWorkFolder(Path root, Path target) throws PackException {
        try {
            if (WorkFolder.isLive(root)) {
                throw new PackException("--out " + target + ": another pack into it is running"
                        + " (working in " + root + "); let it finish first");
            }
            boolean restored = undo(root, target);
            deleteTree(root);
            return "removed " + root + ", left by an interrupted pack"
                    + (restored ? ", and put the earlier pack back into " + target : "");
        } catch (IOException e) {
            throw new PackException("--out " + target + ": an interrupted pack left " + root
                    + ", and undoing it failed (" + e.getMessage() + "); move " + target
                    + " and that folder away, or remove them");
        }
    }

    private static String recoverOldPack(Path old, Path target) throws PackException {
        if (Files.exists(target, NO_FOLLOW)) {
            return "note: " + old + " holds an earlier pack an interrupted pack left behind;"
                    + " remove it when you no longer need it";
        }
        try {
            move(old, target);
            return "put the earlier pack an interrupted pack had moved to " + old + " back into "
                    + target;
        } catch (IOException e) {
            throw new PackException("--out " + target + " is missing and " + old + " holds the"
                    + " earlier pack, but moving it back failed (" + e.getMessage() + ")");
        }
    }

    /**
     * Takes target back to where it was before the work folder's pack began moving files into
     * it; nothing to do when that never began or was completed (the record in target is the
     * journal's). Returns whether files of an earlier pack were put back.
     */
    static boolean undo(Path root, Path target) throws IOException {
        Path journal = root.resolve(WorkFolder.JOURNAL);
        if (!Files.isRegularFile(journal, NO_FOLLOW)) return false;
        byte[] moving = Files.readAllBytes(journal);
        Path record = target.resolve(PackRecord.FILE_NAME);
        if (Files.isRegularFile(record, NO_FOLLOW)
                && Arrays.equals(Files.readAllBytes(record), moving)) {
            return false;
        }
        PackRecord fresh;
        try {
            fresh = PackRecord.parse(new String(moving, StandardCharsets.UTF_8));
        } catch (IllegalArgumentException e) {
            throw new IOException("its journal is damaged: " + e.getMessage());
        }
        Path staged = root.resolve(WorkFolder.STAGED);
        for (String path : fresh.files.keySet()) {
            // A file still staged never moved; one in target that is not the staged one
            // (changed, or the earlier pack's not yet moved aside) is not ours to remove.
            if (Files.exists(staged.resolve(path), NO_FOLLOW)) continue;
            if (fresh.holds(target, path)) Files.delete(target.resolve(path));
        }
        PackRecord.removeEmptyFolders(target, fresh.folders());
        boolean restored = putBack(root.resolve(WorkFolder.ASIDE), target);
        Files.delete(journal);
        return restored;
    }

    private static boolean putBack(Path aside, Path target) throws IOException {
        if (!Files.isDirectory(aside, NO_FOLLOW)) return false;
        List<Path> files = new ArrayList<>();
        try (Stream<Path> walk = Files.walk(aside)) {
            walk.filter(file -> !Files.isDirectory(file, NO_FOLLOW)).forEach(files::add);
        }
        for (Path file : files) {
            Path home = target.resolve(PackRecord.relative(aside, file));
            if (Files.exists(home, NO_FOLLOW)) {
                throw new IOException("cannot put " + file + " back: " + home + " exists");
            }
            Files.createDirectories(home.getParent());
            move(file, home);
        }
        return !files.isEmpty();
    }

    static void move(Path from, Path to) throws IOException {
        try {
            Files.move(from, to, StandardCopyOption.ATOMIC_MOVE);
        } catch (AtomicMoveNotSupportedException e) {
            Files.move(from, to);
        }
    }

    static void deleteTree(Path folder) throws IOException {
        if (!Files.exists(folder, NO_FOLLOW)) return;
        Files.walkFileTree(folder, new SimpleFileVisitor<Path>() {
            @Override
            public FileVisitResult visitFile(Path file, BasicFileAttributes attributes)
                    throws IOException {
                Files.delete(file);
                return FileVisitResult.CONTINUE;
            }

            @Override
            public FileVisitResult postVisitDirectory(Path dir, IOException e)
                    throws IOException {
                if (e != null) throw e;
                Files.delete(dir);
                return FileVisitResult.CONTINUE;
            }
        });
    }
}
