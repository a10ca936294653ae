package javalauncher.packer.resources;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.List;
import javalauncher.packer.pe.LittleEndian;

/**
 * A parsed .ico file: its images in file order, each either PNG data or a BMP without file
 * header, exactly as they are stored as icon resources.
 */
public final class IconFile {
    private static final int HEADER_SIZE = 6;
    static final int ENTRY_SIZE = 16;
    private static final byte[] PNG_SIGNATURE = {(byte) 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A,
            '\n'};
    private static final int BITMAP_HEADER_SIZE = 40;

    /** One image and the directory fields that describe it. */
    public static final class Image {
        public final int width;
        public final int height;
        public final int colorCount;
        public final int planes;
        public final int bitCount;
        final byte[] data;

        Image(int width, int height, int colorCount, int planes, int bitCount, byte[] data) {
            this.width = width;
            this.height = height;
            this.colorCount = colorCount;
            this.planes = planes;
            this.bitCount = bitCount;
            this.data = data;
        }

        public byte[] data() {
            return data.clone();
        }
    }

    public final List<Image> images;

    private IconFile(List<Image> images) {
        this.images = Collections.unmodifiableList(images);
    }

    /** Parses the file; the message of the exception says what is wrong with it. */
    public static IconFile parse(byte[] file) throws IllegalArgumentException {
        if (file.length < HEADER_SIZE || LittleEndian.get16(file, 0) != 0
                || LittleEndian.get16(file, 2) != 1) {
            throw new IllegalArgumentException("not an icon file (.ico header missing)");
        }
        int count = LittleEndian.get16(file, 4);
        if (count == 0) throw new IllegalArgumentException("the icon file holds no images");
        if (HEADER_SIZE + (long) count * ENTRY_SIZE > file.length) {
            throw new IllegalArgumentException("the icon file is truncated (its directory lists "
                    + count + " images)");
        }
        List<Image> images = new ArrayList<>();
        for (int i = 0; i < count; i++) {
            int entry = HEADER_SIZE + i * ENTRY_SIZE;
            long size = LittleEndian.get32(file, entry + 8);
            long offset = LittleEndian.get32(file, entry + 12);
            if (size == 0 || offset + size > file.length || offset < HEADER_SIZE) {
                throw new IllegalArgumentException("image " + (i + 1)
                        + " of the icon file lies outside the file");
            }
            byte[] data = Arrays.copyOfRange(file, (int) offset, (int) (offset + size));
            if (!isPng(data) && !(data.length >= BITMAP_HEADER_SIZE
                    && LittleEndian.get32(data, 0) == BITMAP_HEADER_SIZE)) {
                throw new IllegalArgumentException("image " + (i + 1)
                        + " of the icon file is neither PNG nor bitmap data");
            }
            images.add(new Image(file[entry] & 0xFF, file[entry + 1] & 0xFF,
                    file[entry + 2] & 0xFF, LittleEndian.get16(file, entry + 4),
                    LittleEndian.get16(file, entry + 6), data));
        }
        return new IconFile(images);
    }

    private static boolean isPng(byte[] data) {
        return data.length >= PNG_SIGNATURE.length
                && Arrays.equals(Arrays.copyOf(data, PNG_SIGNATURE.length), PNG_SIGNATURE);
    }
}
