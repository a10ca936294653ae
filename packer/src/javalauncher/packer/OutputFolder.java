package javalauncher.packer;

import java.io.IOException;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.DirectoryStream;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.BasicFileAttributes;
import java.security.SecureRandom;

/**
 * The pack is built in a hidden folder beside --out and moved into place only once complete,
 * so a failed or interrupted pack never leaves a half-written application where the user
 * expects a finished one. An existing --out is replaced only when it is empty or holds an
 * earlier pack of the same name: the packer never deletes a folder it did not make.
 */
final class OutputFolder {
    private static final SecureRandom RANDOM = new SecureRandom();

    private final Path target;
    private final String name;
    final Path staging;
    // Removes the staging folder when the packer is stopped (Ctrl+C) in the middle of a pack.
    private final Thread cleanUpOnExit;

    private OutputFolder(Path target, String name, Path staging) {
        this.target = target;
        this.name = name;
        this.staging = staging;
        this.cleanUpOnExit = new Thread(() -> deleteQuietly(staging));
        Runtime.getRuntime().addShutdownHook(cleanUpOnExit);
    }

    private void forgetCleanUp() {
        try {
            Runtime.getRuntime().removeShutdownHook(cleanUpOnExit);
        } catch (IllegalStateException e) {
            // Already shutting down: the hook runs and finds nothing or the abandoned folder.
        }
    }

    static OutputFolder create(Path out, String name) throws PackException {
        Path target = out.toAbsolutePath().normalize();
        checkReplaceable(target, name);
        Path parent = target.getParent();
        if (parent == null) throw new PackException("--out " + out + ": give a folder to create");
        try {
            Files.createDirectories(parent);
            return new OutputFolder(target, name, createHidden(parent, target, "pack"));
        } catch (IOException e) {
            throw new PackException("--out " + out + ": cannot create a folder beside it ("
                    + e.getMessage() + ")");
        }
    }

    /**
     * A fresh folder beside the target. Unlike a temporary directory it gets the user's usual
     * permissions, which the finished pack keeps.
     */
    private static Path createHidden(Path parent, Path target, String purpose)
            throws IOException {
        for (int attempt = 0; ; attempt++) {
            Path folder = parent.resolve("." + target.getFileName() + "." + purpose + "-"
                    + Long.toHexString(RANDOM.nextLong() & Long.MAX_VALUE));
            try {
                return Files.createDirectory(folder);
            } catch (FileAlreadyExistsException e) {
                if (attempt > 100) throw e;
            }
        }
    }

    static void checkReplaceable(Path target, String name) throws PackException {
        if (!Files.exists(target)) return;
        if (!Files.isDirectory(target)) {
            throw new PackException("--out " + target + " is a file; give a folder");
        }
        if (isEmpty(target) || holdsPackOf(target, name)) return;
        throw new PackException("--out " + target + " already holds other files; give a new or"
                + " empty folder (an earlier pack of " + name + " is replaced)");
    }

    private static boolean isEmpty(Path folder) throws PackException {
        try (DirectoryStream<Path> entries = Files.newDirectoryStream(folder)) {
            return !entries.iterator().hasNext();
        } catch (IOException e) {
            throw new PackException("--out " + folder + ": cannot list it (" + e.getMessage()
                    + ")");
        }
    }

    private static boolean holdsPackOf(Path folder, String name) {
        return Files.isRegularFile(folder.resolve(name + ".exe"))
                && Files.isRegularFile(folder.resolve(name + ".ini"));
    }

    /** Moves the finished pack to --out, replacing an earlier pack there. */
    void commit() throws PackException {
        Path old = null;
        try {
            checkReplaceable(target, name);
            if (Files.exists(target)) {
                old = createHidden(target.getParent(), target, "old");
                Files.delete(old);
                move(target, old);
            }
            move(staging, target);
            forgetCleanUp();
        } catch (IOException e) {
            if (old != null && !Files.exists(target)) {
                try {
                    move(old, target);
                    old = null;
                } catch (IOException restoreFailed) {
                    e.addSuppressed(restoreFailed);
                }
            }
            throw new PackException("cannot move the pack to " + target + ": " + e.getMessage());
        }
        if (old != null) deleteQuietly(old);
    }

    /** Removes the staging folder of a pack that did not complete. */
    void abandon() {
        forgetCleanUp();
        deleteQuietly(staging);
    }

    private static void move(Path from, Path to) throws IOException {
        try {
            Files.move(from, to, StandardCopyOption.ATOMIC_MOVE);
        } catch (AtomicMoveNotSupportedException e) {
            Files.move(from, to);
        }
    }

    static void deleteQuietly(Path folder) {
        if (!Files.exists(folder)) return;
        try {
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
                    Files.delete(dir);
                    return FileVisitResult.CONTINUE;
                }
            });
        } catch (IOException e) {
            System.err.println("javalauncher-pack: warning: could not remove " + folder + ": "
                    + e.getMessage());
        }
    }
}
