package javalauncher.packer;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.FileSystemLoopException;
import java.nio.file.FileVisitOption;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.attribute.BasicFileAttributes;
import java.util.ArrayList;
import java.util.EnumSet;
import java.util.List;
import javalauncher.packer.pe.PeImage;

/**
 * A Windows Java runtime folder to ship beside the executables. Runtimes on Linux machines are
 * often reached through links (/usr/lib/jvm/default-java) and may hold some: every link is
 * followed and what it names is copied, as long as it stays inside the runtime's own tree. A
 * link out of it or in a circle is refused, since Windows would get neither.
 */
final class BundledRuntime {
    private static final String[] JVM_LIBRARIES = {"bin/server/jvm.dll", "bin/client/jvm.dll"};
    private static final int HEADER_BYTES = 4096;

    /** One file or folder of the copy: where it goes, relative to jre\, and what to read. */
    private static final class Entry {
        final String relative;
        final Path source;
        final boolean folder;

        Entry(String relative, Path source, boolean folder) {
            this.relative = relative;
            this.source = source;
            this.folder = folder;
        }
    }

    final Path folder;
    final boolean is64Bit;
    private final String jvmLibrary;
    private final List<Entry> entries;

    private BundledRuntime(Path folder, boolean is64Bit, String jvmLibrary, List<Entry> entries) {
        this.folder = folder;
        this.is64Bit = is64Bit;
        this.jvmLibrary = jvmLibrary;
        this.entries = entries;
    }

    /**
     * Checks the folder is a Windows runtime the launcher recognises, reads its bitness, and
     * lists what copying it takes, so that a bad link is found before anything is written.
     */
    static BundledRuntime inspect(Path folder) throws PackException {
        String option = "--runtime " + folder;
        if (!Files.isDirectory(folder)) {
            throw new PackException(option + ": no such folder"
                    + (Files.isSymbolicLink(folder) ? " (it is a link to nothing)" : ""));
        }
        Path root;
        try {
            root = folder.toRealPath();
        } catch (IOException e) {
            throw new PackException(option + ": " + IoMessages.reading(folder, e));
        }
        if (!Files.isRegularFile(root.resolve("bin/java.dll"))) {
            throw new PackException(option + ": no bin/java.dll, so this is no Windows Java"
                    + " runtime; give the folder that holds bin/ and lib/ of one");
        }
        for (String library : JVM_LIBRARIES) {
            Path jvm = root.resolve(library);
            if (!Files.isRegularFile(jvm)) continue;
            int machine = machineOf(jvm, option);
            if (machine != PeImage.MACHINE_I386 && machine != PeImage.MACHINE_AMD64) {
                throw new PackException(option + ": " + library + " is not a 32-bit or 64-bit"
                        + " x86 Windows library");
            }
            return new BundledRuntime(folder, machine == PeImage.MACHINE_AMD64, library,
                    listEntries(root, option));
        }
        throw new PackException(option + ": neither bin/server/jvm.dll nor bin/client/jvm.dll"
                + " exists; give the folder of a complete Windows Java runtime");
    }

    private static int machineOf(Path jvm, String option) throws PackException {
        try (InputStream in = Files.newInputStream(jvm)) {
            return PeImage.machineOf(in.readNBytes(HEADER_BYTES));
        } catch (IOException e) {
            throw new PackException(option + ": " + IoMessages.reading(jvm, e));
        }
    }

    /** Walks the tree through its links; root is the runtime's real path. */
    private static List<Entry> listEntries(Path root, String option) throws PackException {
        List<Entry> entries = new ArrayList<>();
        PackException[] refusal = {null};
        try {
            Files.walkFileTree(root, EnumSet.of(FileVisitOption.FOLLOW_LINKS), Integer.MAX_VALUE,
                    new SimpleFileVisitor<Path>() {
                        @Override
                        public FileVisitResult preVisitDirectory(Path dir,
                                BasicFileAttributes attributes) throws IOException {
                            return add(dir, true);
                        }

                        @Override
                        public FileVisitResult visitFile(Path file, BasicFileAttributes attributes)
                                throws IOException {
                            if (attributes.isSymbolicLink()) {
                                // Only a link whose target cannot be reached arrives here.
                                return refuse(file, brokenLink(file));
                            }
                            if (!attributes.isRegularFile()) {
                                return refuse(file, "is neither a file nor a folder (a device,"
                                        + " pipe or socket), which a runtime does not hold");
                            }
                            return add(file, false);
                        }

                        @Override
                        public FileVisitResult visitFileFailed(Path file, IOException e) {
                            if (e instanceof FileSystemLoopException) {
                                return refuse(file, "is a link back to a folder that holds it"
                                        + " (a link cycle); replace it with what it should name");
                            }
                            refusal[0] = new PackException(option + ": "
                                    + IoMessages.reading(file, e));
                            return FileVisitResult.TERMINATE;
                        }

                        private FileVisitResult add(Path path, boolean isFolder)
                                throws IOException {
                            if (Files.isSymbolicLink(path)) {
                                Path target = path.toRealPath();
                                if (!target.startsWith(root)) {
                                    return refuse(path, "is a link to " + target + ", outside"
                                            + " the runtime; copy what it names into the"
                                            + " runtime or give the folder that holds both");
                                }
                            }
                            String relative = root.relativize(path).toString();
                            entries.add(new Entry(relative, path, isFolder));
                            return FileVisitResult.CONTINUE;
                        }

                        private FileVisitResult refuse(Path path, String why) {
                            refusal[0] = new PackException(option + ": "
                                    + root.relativize(path) + " " + why);
                            return FileVisitResult.TERMINATE;
                        }
                    });
        } catch (IOException e) {
            throw new PackException(option + ": " + IoMessages.reading(root, e));
        }
        if (refusal[0] != null) throw refusal[0];
        return entries;
    }

    private static String brokenLink(Path link) {
        try {
            link.toRealPath();
            return "is a link that cannot be followed";
        } catch (NoSuchFileException e) {
            String target;
            try {
                target = Files.readSymbolicLink(link).toString();
            } catch (IOException unreadable) {
                target = "a missing file";
            }
            return "is a link to " + target + ", which does not exist";
        } catch (IOException e) {
            return "is a link that cannot be followed: " + IoMessages.reasonOf(e);
        }
    }

    /**
     * Copies the runtime to target, which must not exist yet, then checks that the copy holds
     * a JVM library of the bitness the settings were made for: a runtime that lost files on
     * the way would leave the executables unable to start.
     */
    void copyTo(Path target) throws IOException, PackException {
        for (Entry entry : entries) {
            Path to = entry.relative.isEmpty() ? target : target.resolve(entry.relative);
            if (entry.folder) {
                try {
                    Files.createDirectories(to);
                } catch (IOException e) {
                    throw new IoMessages.FileFailure(to, true, e);
                }
            } else {
                IoMessages.copy(entry.source, to);
            }
        }
        Path jvm = target.resolve(jvmLibrary);
        int machine = Files.isRegularFile(jvm) ? machineOf(jvm, "--runtime " + folder) : -1;
        int expected = is64Bit ? PeImage.MACHINE_AMD64 : PeImage.MACHINE_I386;
        if (machine != expected) {
            throw new PackException("--runtime " + folder + ": the copied runtime holds no "
                    + (is64Bit ? "64" : "32") + "-bit " + jvmLibrary + " (was it changed while"
                    + " packing?); the pack was not written");
        }
    }
}
