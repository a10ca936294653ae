package javalauncher.packer;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.jar.Attributes;
import java.util.jar.JarEntry;
import java.util.jar.JarOutputStream;
import java.util.jar.Manifest;

/** Inputs the packer tests make for themselves: the real launchers, icons and jars. */
public final class TestInputs {
    private TestInputs() {}

    /** A launcher executable as the packer jar carries it ("launcher.exe", "launcher64.exe"). */
    public static byte[] launcher(String name) {
        try (InputStream in = TestInputs.class.getResourceAsStream("/launchers/" + name)) {
            if (in == null) throw new IllegalStateException(name + " is not on the class path");
            return in.readAllBytes();
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    /** An .ico file with one 32-bit bitmap image per size, each filled with its own colour. */
    public static byte[] icon(int... sizes) {
        ByteArrayOutputStream images = new ByteArrayOutputStream();
        byte[] directory = new byte[6 + 16 * sizes.length];
        put16(directory, 2, 1);
        put16(directory, 4, sizes.length);
        for (int i = 0; i < sizes.length; i++) {
            byte[] image = bitmap(sizes[i], i);
            int entry = 6 + 16 * i;
            directory[entry] = (byte) (sizes[i] >= 256 ? 0 : sizes[i]);
            directory[entry + 1] = (byte) (sizes[i] >= 256 ? 0 : sizes[i]);
            put16(directory, entry + 4, 1);
            put16(directory, entry + 6, 32);
            put32(directory, entry + 8, image.length);
            put32(directory, entry + 12, directory.length + images.size());
            images.writeBytes(image);
        }
        ByteArrayOutputStream file = new ByteArrayOutputStream();
        file.writeBytes(directory);
        file.writeBytes(images.toByteArray());
        return file.toByteArray();
    }

    private static byte[] bitmap(int size, int colour) {
        int maskRow = ((size + 31) / 32) * 4;
        byte[] image = new byte[40 + size * size * 4 + maskRow * size];
        put32(image, 0, 40);
        put32(image, 4, size);
        put32(image, 8, size * 2);
        put16(image, 12, 1);
        put16(image, 14, 32);
        for (int pixel = 0; pixel < size * size; pixel++) {
            int at = 40 + pixel * 4;
            image[at] = (byte) (40 * colour);
            image[at + 1] = (byte) 0x80;
            image[at + 2] = (byte) (255 - 40 * colour);
            image[at + 3] = (byte) 0xFF;
        }
        return image;
    }

    /**
     * A jar holding an empty class file of the given major version under the class's name,
     * with that class as its Main-Class unless mainClassInManifest is false.
     */
    public static Path jar(Path file, String className, int classFileMajor,
            boolean mainClassInManifest) throws IOException {
        Manifest manifest = new Manifest();
        manifest.getMainAttributes().put(Attributes.Name.MANIFEST_VERSION, "1.0");
        if (mainClassInManifest) {
            manifest.getMainAttributes().put(Attributes.Name.MAIN_CLASS, className);
        }
        Files.createDirectories(file.toAbsolutePath().getParent());
        try (OutputStream out = Files.newOutputStream(file);
                JarOutputStream jar = new JarOutputStream(out, manifest)) {
            jar.putNextEntry(new JarEntry(className.replace('.', '/') + ".class"));
            jar.write(new byte[] {(byte) 0xCA, (byte) 0xFE, (byte) 0xBA, (byte) 0xBE, 0, 0,
                    (byte) (classFileMajor >> 8), (byte) classFileMajor});
            jar.closeEntry();
        }
        return file;
    }

    public static void put16(byte[] data, int at, int value) {
        data[at] = (byte) value;
        data[at + 1] = (byte) (value >>> 8);
    }

    public static void put32(byte[] data, int at, long value) {
        put16(data, at, (int) value);
        put16(data, at + 2, (int) (value >>> 16));
    }

    public static int u16(byte[] data, int at) {
        return (data[at] & 0xFF) | (data[at + 1] & 0xFF) << 8;
    }

    public static int u32(byte[] data, int at) {
        return u16(data, at) | u16(data, at + 2) << 16;
    }
}
