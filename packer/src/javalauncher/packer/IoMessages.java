package javalauncher.packer;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.file.AccessDeniedException;
import java.nio.file.DirectoryNotEmptyException;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.FileSystemException;
import java.nio.file.FileSystemLoopException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.NotDirectoryException;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.util.Locale;
import java.util.Map;

/**
 * I/O failures in words a user can act on: which file, whether it was being read or written, and
 * what went wrong ("permission denied reading ...", "no space left on the device while writing
 * ..."), never the name of an exception class.
 */
final class IoMessages {
    /** An I/O failure that already knows its file and whether that file was being written. */
    static final class FileFailure extends IOException {
        private static final long serialVersionUID = 1L;
        final Path file;
        final boolean writing;

        FileFailure(Path file, boolean writing, IOException cause) {
            super(cause.getMessage(), cause);
            this.file = file;
            this.writing = writing;
        }
    }

    /** The beginnings of the system's reasons (as Java reports them) in the packer's words. */
    private static final Map<String, String> REASONS = Map.of(
            "no space left on device", "no space left on the device",
            "disk quota exceeded", "the disk quota is used up",
            "read-only file system", "the file system is read-only",
            "permission denied", "permission denied",
            "operation not permitted", "permission denied",
            "too many levels of symbolic links", "a link cycle (too many levels of links)",
            "file name too long", "the name is too long",
            "input/output error", "the device reported an input/output error",
            "is a directory", "it is a folder",
            "file too large", "the file is too large for the file system");

    private IoMessages() {}

    static String reading(Path file, IOException e) {
        return sentence(reasonOf(e), false, file);
    }

    static String writing(Path file, IOException e) {
        return sentence(reasonOf(e), true, file);
    }

    /**
     * The message of a failure while building the pack in staging, a folder the user never
     * sees: paths in it are named as they will be under shownAs, the user's --out.
     */
    static String duringPack(IOException e, Path staging, Path shownAs) {
        Path file = null;
        boolean writing = true;
        if (e instanceof FileFailure) {
            file = ((FileFailure) e).file;
            writing = ((FileFailure) e).writing;
        } else if (e instanceof FileSystemException) {
            String name = ((FileSystemException) e).getFile();
            file = name == null ? null : Path.of(name);
        }
        if (file == null) return "writing the pack into " + shownAs + " failed: " + reasonOf(e);
        Path absolute = file.toAbsolutePath().normalize();
        Path stagingFolder = staging.toAbsolutePath().normalize();
        if (absolute.startsWith(stagingFolder)) {
            file = shownAs.resolve(stagingFolder.relativize(absolute).toString());
        } else if (!(e instanceof FileFailure)) {
            writing = false;
        }
        return sentence(reasonOf(e), writing, file);
    }

    /** Writes a whole file, naming it when that fails. */
    static void write(Path file, byte[] data) throws FileFailure {
        try {
            Files.write(file, data);
        } catch (IOException e) {
            throw new FileFailure(file, true, e);
        }
    }

    /**
     * Copies a file's content (through links) to a new file, telling a failure to read the
     * source from a failure to write the target.
     */
    static void copy(Path source, Path target) throws FileFailure {
        try (InputStream in = open(source);
                OutputStream out = create(target)) {
            byte[] buffer = new byte[1 << 16];
            while (true) {
                int count;
                try {
                    count = in.read(buffer);
                } catch (IOException e) {
                    throw new FileFailure(source, false, e);
                }
                if (count < 0) break;
                try {
                    out.write(buffer, 0, count);
                } catch (IOException e) {
                    throw new FileFailure(target, true, e);
                }
            }
        } catch (FileFailure e) {
            throw e;
        } catch (IOException e) {
            // Closing the target is where a full disk often shows.
            throw new FileFailure(target, true, e);
        }
        try {
            Files.setLastModifiedTime(target, Files.getLastModifiedTime(source));
        } catch (IOException e) {
            // The time is a courtesy; the content is what matters.
        }
    }

    private static InputStream open(Path source) throws FileFailure {
        try {
            return Files.newInputStream(source);
        } catch (IOException e) {
            throw new FileFailure(source, false, e);
        }
    }

    private static OutputStream create(Path target) throws FileFailure {
        try {
            return Files.newOutputStream(target, StandardOpenOption.CREATE_NEW);
        } catch (IOException e) {
            throw new FileFailure(target, true, e);
        }
    }

    /** What went wrong and, when known, with which file. */
    static String describe(IOException e) {
        Path file = e instanceof FileFailure ? ((FileFailure) e).file : null;
        if (e instanceof FileSystemException && ((FileSystemException) e).getFile() != null) {
            file = Path.of(((FileSystemException) e).getFile());
        }
        return reasonOf(e) + (file == null ? "" : ": " + file);
    }

    /** What went wrong, in words. */
    static String reasonOf(IOException e) {
        if (e instanceof FileFailure && e.getCause() instanceof IOException) {
            return reasonOf((IOException) e.getCause());
        }
        if (e instanceof AccessDeniedException) return "permission denied";
        if (e instanceof NoSuchFileException) return "no such file or folder";
        if (e instanceof FileAlreadyExistsException) return "it exists already";
        if (e instanceof DirectoryNotEmptyException) return "the folder is not empty";
        if (e instanceof NotDirectoryException) return "it is not a folder";
        if (e instanceof FileSystemLoopException) return "a link cycle";
        String text = e instanceof FileSystemException ? ((FileSystemException) e).getReason()
                : e.getMessage();
        if (text == null || text.isBlank()) return "an input/output error";
        // Java sometimes adds to the system's text ("... or unable to access attributes").
        String lower = text.trim().toLowerCase(Locale.ROOT);
        for (Map.Entry<String, String> reason : REASONS.entrySet()) {
            if (lower.startsWith(reason.getKey())) return reason.getValue();
        }
        return text.trim();
    }

    private static String sentence(String reason, boolean writing, Path file) {
        String verb = writing ? "writing " : "reading ";
        return reason + (reason.equals("permission denied") ? " " : " while ") + verb + file;
    }
}
