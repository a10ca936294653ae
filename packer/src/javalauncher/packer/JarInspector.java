package javalauncher.packer;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Path;
import java.util.List;
import java.util.jar.Attributes;
import java.util.jar.JarEntry;
import java.util.jar.JarFile;
import java.util.jar.Manifest;
import java.util.zip.ZipException;

/** What the packer learns from the application's jars: the main class and its Java version. */
final class JarInspector {
    private static final int CLASS_MAGIC = 0xCAFEBABE;
    private static final int JAVA_8_MAJOR = 52;

    private JarInspector() {}

    /** The Main-Class of the jar's manifest, or null when there is none. */
    static String manifestMainClass(Path jar) throws PackException {
        try (JarFile file = new JarFile(jar.toFile())) {
            Manifest manifest = file.getManifest();
            if (manifest == null) return null;
            String mainClass = manifest.getMainAttributes().getValue(Attributes.Name.MAIN_CLASS);
            return mainClass == null || mainClass.isBlank() ? null : mainClass.trim();
        } catch (IOException | SecurityException e) {
            throw unreadable(jar, e);
        }
    }

    /**
     * The class file major version of the main class, looked up in the jars in order, or -1
     * when no jar holds it.
     */
    static int classFileVersion(List<Path> jars, String mainClass) throws PackException {
        String entryName = mainClass.replace('.', '/') + ".class";
        for (Path jar : jars) {
            try (JarFile file = new JarFile(jar.toFile())) {
                JarEntry entry = file.getJarEntry(entryName);
                if (entry == null) continue;
                try (InputStream in = file.getInputStream(entry)) {
                    byte[] header = in.readNBytes(8);
                    if (header.length < 8 || readInt(header, 0) != CLASS_MAGIC) {
                        throw new PackException("--jar " + jar + ": " + entryName
                                + " is not a class file");
                    }
                    return (header[6] & 0xFF) << 8 | (header[7] & 0xFF);
                }
            } catch (IOException | SecurityException e) {
                throw unreadable(jar, e);
            }
        }
        return -1;
    }

    /** The launcher's spelling of the oldest Java that runs a class file version. */
    static String javaVersionFor(int classFileMajor) {
        if (classFileMajor <= JAVA_8_MAJOR) return "1." + Math.max(1, classFileMajor - 44);
        return Integer.toString(classFileMajor - 44);
    }

    /** A jar that is damaged or no zip file at all reads differently from one we may not read. */
    private static PackException unreadable(Path jar, Exception e) {
        if (e instanceof ZipException) {
            return new PackException("--jar " + jar + ": not a jar (zip) file, or a damaged one ("
                    + e.getMessage() + ")");
        }
        if (e instanceof SecurityException) {
            return new PackException("--jar " + jar + ": its signature does not verify ("
                    + e.getMessage() + ")");
        }
        return new PackException("--jar " + jar + ": " + IoMessages.reading(jar, (IOException) e));
    }

    private static int readInt(byte[] data, int at) {
        return (data[at] & 0xFF) << 24 | (data[at + 1] & 0xFF) << 16 | (data[at + 2] & 0xFF) << 8
                | (data[at + 3] & 0xFF);
    }
}
