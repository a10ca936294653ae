package javalauncher.packer;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.BasicFileAttributes;
import javalauncher.packer.pe.PeImage;

/** A Windows Java runtime folder to ship beside the executables. */
final class BundledRuntime {
    private static final String[] JVM_LIBRARIES = {"bin/server/jvm.dll", "bin/client/jvm.dll"};
    private static final int HEADER_BYTES = 4096;

    final Path folder;
    final boolean is64Bit;

    private BundledRuntime(Path folder, boolean is64Bit) {
        this.folder = folder;
        this.is64Bit = is64Bit;
    }

    /** Checks the folder is a Windows runtime the launcher recognises, and reads its bitness. */
    static BundledRuntime inspect(Path folder) throws PackException {
        String option = "--runtime " + folder;
        if (!Files.isDirectory(folder)) {
            throw new PackException(option + ": no such folder");
        }
        if (!Files.isRegularFile(folder.resolve("bin/java.dll"))) {
            throw new PackException(option + ": no bin/java.dll, so this is no Windows Java"
                    + " runtime; give the folder that holds bin/ and lib/ of one");
        }
        for (String library : JVM_LIBRARIES) {
            Path jvm = folder.resolve(library);
            if (!Files.isRegularFile(jvm)) continue;
            int machine;
            try (InputStream in = Files.newInputStream(jvm)) {
                machine = PeImage.machineOf(in.readNBytes(HEADER_BYTES));
            } catch (IOException e) {
                throw new PackException(option + ": cannot read " + library + " ("
                        + e.getMessage() + ")");
            }
            if (machine == PeImage.MACHINE_I386) return new BundledRuntime(folder, false);
            if (machine == PeImage.MACHINE_AMD64) return new BundledRuntime(folder, true);
            throw new PackException(option + ": " + library + " is not a 32-bit or 64-bit x86"
                    + " Windows library");
        }
        throw new PackException(option + ": neither bin/server/jvm.dll nor bin/client/jvm.dll"
                + " exists; give the folder of a complete Windows Java runtime");
    }

    /** Copies the whole folder to target, which must not exist yet. */
    void copyTo(Path target) throws IOException {
        Files.walkFileTree(folder, new SimpleFileVisitor<Path>() {
            @Override
            public FileVisitResult preVisitDirectory(Path dir, BasicFileAttributes attributes)
                    throws IOException {
                Files.createDirectories(target.resolve(folder.relativize(dir).toString()));
                return FileVisitResult.CONTINUE;
            }

            @Override
            public FileVisitResult visitFile(Path file, BasicFileAttributes attributes)
                    throws IOException {
                Files.copy(file, target.resolve(folder.relativize(file).toString()),
                        StandardCopyOption.COPY_ATTRIBUTES);
                return FileVisitResult.CONTINUE;
            }
        });
    }
}
