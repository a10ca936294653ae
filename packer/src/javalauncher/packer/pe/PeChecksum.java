package javalauncher.packer.pe;

/**
 * The optional header's checksum as the Windows image helper computes it: a 16-bit one's
 * complement sum of the file with the checksum field taken as zero, plus the file length.
 * Drivers and some verifiers insist on it; a stale one is worse than none.
 */
public final class PeChecksum {
    private PeChecksum() {}

    public static long compute(byte[] data, int checksumOffset) {
        long sum = 0;
        for (int i = 0; i < data.length; i += 2) {
            if (i >= checksumOffset && i < checksumOffset + 4) continue;
            int word = data[i] & 0xFF;
            if (i + 1 < data.length) word |= (data[i + 1] & 0xFF) << 8;
            sum += word;
            sum = (sum & 0xFFFF) + (sum >>> 16);
        }
        sum = (sum & 0xFFFF) + (sum >>> 16);
        return (sum + data.length) & 0xFFFFFFFFL;
    }
}
