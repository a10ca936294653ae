package javalauncher.packer.pe;

/**
 * Bounds-checked little-endian access to a byte array. Every read outside the array becomes a
 * PeFormatException naming what was being read, so malformed files never surface as index errors.
 */
public final class LittleEndian {
    private LittleEndian() {}

    /** An unchecked read, for data whose length the caller has checked. */
    public static int get16(byte[] data, int at) {
        return (data[at] & 0xFF) | (data[at + 1] & 0xFF) << 8;
    }

    /** An unchecked read of an unsigned 32-bit value. */
    public static long get32(byte[] data, int at) {
        return (data[at] & 0xFFL) | (data[at + 1] & 0xFFL) << 8 | (data[at + 2] & 0xFFL) << 16
                | (data[at + 3] & 0xFFL) << 24;
    }

    static void require(byte[] data, long offset, long length, String what)
            throws PeFormatException {
        if (offset < 0 || length < 0 || offset + length > data.length) {
            throw new PeFormatException(what + " lies outside the file (offset " + offset
                    + ", " + length + " bytes, file " + data.length + " bytes)");
        }
    }

    static int u16(byte[] data, long offset, String what) throws PeFormatException {
        require(data, offset, 2, what);
        return get16(data, (int) offset);
    }

    /** An unsigned 32-bit value, as a long so that sizes near 4 GB stay positive. */
    static long u32(byte[] data, long offset, String what) throws PeFormatException {
        require(data, offset, 4, what);
        return get32(data, (int) offset);
    }

    public static void put16(byte[] data, int offset, int value) {
        data[offset] = (byte) value;
        data[offset + 1] = (byte) (value >>> 8);
    }

    public static void put32(byte[] data, int offset, long value) {
        data[offset] = (byte) value;
        data[offset + 1] = (byte) (value >>> 8);
        data[offset + 2] = (byte) (value >>> 16);
        data[offset + 3] = (byte) (value >>> 24);
    }
}
