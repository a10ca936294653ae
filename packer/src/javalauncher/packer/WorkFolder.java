package javalauncher.packer;

import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.channels.OverlappingFileLockException;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.security.SecureRandom;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;

/**
 * The hidden folder ".OUT.pack-RANDOM" beside --out in which one pack works: the finished pack
 * is built in new/, the earlier pack's files wait in old/ while they are being replaced,
 * osslsigncode writes to tmp/, and a journal (a copy of the new record) exists while files move
 * into --out. The packer holds a lock on its lock file for as long as it runs; the system drops
 * it when the process dies however it dies, which is how a later run tells the folder of a
 * killed pack from that of one still running.
 */
final class WorkFolder {
    static final String STAGED = "new";
    static final String ASIDE = "old";
    static final String SCRATCH = "tmp";
    static final String JOURNAL = "moving";
    private static final String LOCK = "lock";
    private static final String NAME_PATTERN = "pack-[0-9a-f]{1,16}";
    private static final SecureRandom RANDOM = new SecureRandom();
    // Folders of packs running in this process: their locks cannot be probed from here.
    private static final Set<Path> OWNED = ConcurrentHashMap.newKeySet();

    final Path root;
    private final FileChannel lockChannel;

    private WorkFolder(Path root, FileChannel lockChannel) {
        this.root = root;
        this.lockChannel = lockChannel;
    }

    static WorkFolder create(Path target) throws IOException {
        for (int attempt = 0; ; attempt++) {
            Path root = target.resolveSibling("." + target.getFileName() + ".pack-"
                    + Long.toHexString(RANDOM.nextLong() & Long.MAX_VALUE));
            try {
                Files.createDirectory(root);
            } catch (FileAlreadyExistsException e) {
                if (attempt > 100) throw e;
                continue;
            }
            OWNED.add(root);
            FileChannel channel = null;
            try {
                channel = FileChannel.open(root.resolve(LOCK), StandardOpenOption.CREATE_NEW,
                        StandardOpenOption.WRITE);
                if (channel.tryLock() == null) throw new IOException("cannot lock " + root);
                Files.createDirectory(root.resolve(STAGED));
                Files.createDirectory(root.resolve(SCRATCH));
                return new WorkFolder(root, channel);
            } catch (IOException e) {
                if (channel != null) channel.close();
                OWNED.remove(root);
                // Another run took the folder for a leftover in the moment before its lock
                // existed, and removed it: try another name.
                if (!(e instanceof NoSuchFileException) || attempt > 100) throw e;
            }
        }
    }

    Path staged() {
        return root.resolve(STAGED);
    }

    Path aside() {
        return root.resolve(ASIDE);
    }

    Path scratch() {
        return root.resolve(SCRATCH);
    }

    Path journal() {
        return root.resolve(JOURNAL);
    }

    /** Drops the lock and removes the folder. */
    void remove() throws IOException {
        release();
        Leftovers.deleteTree(root);
    }

    /** Drops the lock, leaving the folder to the next pack into the same --out. */
    void release() throws IOException {
        try {
            lockChannel.close();
        } finally {
            OWNED.remove(root);
        }
    }

    static boolean isWorkFolderName(String targetName, String name) {
        String prefix = "." + targetName + ".";
        return name.startsWith(prefix) && name.substring(prefix.length()).matches(NAME_PATTERN);
    }

    /** Whether a packer still runs in the folder: this one, or another holding its lock. */
    static boolean isLive(Path root) throws IOException {
        if (OWNED.contains(root)) return true;
        Path lock = root.resolve(LOCK);
        if (!Files.isRegularFile(lock)) return false;
        try (FileChannel channel = FileChannel.open(lock, StandardOpenOption.WRITE)) {
            FileLock probe = channel.tryLock();
            if (probe == null) return true;
            probe.release();
            return false;
        } catch (OverlappingFileLockException e) {
            return true;
        }
    }
}
