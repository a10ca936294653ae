package javalauncher.packer.resources;

import java.io.ByteArrayOutputStream;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import javalauncher.packer.pe.LittleEndian;

/**
 * Builds the binary VS_VERSIONINFO block that Explorer's properties page and
 * GetFileVersionInfo read: the fixed version numbers plus one U.S. English, Unicode string
 * table. Every node is a length, a value length, a type, a key and a value, aligned to four
 * bytes, followed by its children.
 */
public final class VersionInfo {
    /** The string table's language and code page: U.S. English, Unicode (1200). */
    public static final int LANGUAGE = 0x0409;
    private static final int CODE_PAGE = 1200;
    private static final String STRING_TABLE_KEY = "040904B0";
    private static final long FIXED_SIGNATURE = 0xFEEF04BDL;
    private static final long OS_WINDOWS_NT = 0x40004;
    private static final long TYPE_APPLICATION = 1;

    private final int[] version;
    private final Map<String, String> strings = new LinkedHashMap<>();

    /** A version of four numbers 0-65535, most significant first. */
    public VersionInfo(int[] version) {
        if (version.length != 4) throw new IllegalArgumentException("four version numbers");
        this.version = version.clone();
    }

    /** Parses "1", "1.2", ... "1.2.3.4"; missing numbers are 0. */
    public static int[] parseVersion(String text) throws IllegalArgumentException {
        String[] parts = text.split("\\.", -1);
        if (parts.length > 4) throw new IllegalArgumentException("more than four numbers");
        int[] numbers = new int[4];
        for (int i = 0; i < parts.length; i++) {
            if (!parts[i].matches("[0-9]{1,5}") || Integer.parseInt(parts[i]) > 0xFFFF) {
                throw new IllegalArgumentException("\"" + parts[i]
                        + "\" is not a number from 0 to 65535");
            }
            numbers[i] = Integer.parseInt(parts[i]);
        }
        return numbers;
    }

    public static String format(int[] version) {
        return version[0] + "." + version[1] + "." + version[2] + "." + version[3];
    }

    /** Adds a string ("CompanyName", "FileDescription", ...); empty values are left out. */
    public VersionInfo with(String key, String value) {
        if (value != null && !value.isEmpty()) strings.put(key, value);
        return this;
    }

    public byte[] toBytes() {
        List<byte[]> stringNodes = new ArrayList<>();
        strings.forEach((key, value) -> stringNodes.add(node(key, utf16z(value),
                value.length() + 1, true, List.of())));
        byte[] stringTable = node(STRING_TABLE_KEY, new byte[0], 0, true, stringNodes);
        byte[] stringFileInfo = node("StringFileInfo", new byte[0], 0, true, List.of(stringTable));
        byte[] translation = new byte[4];
        LittleEndian.put16(translation, 0, LANGUAGE);
        LittleEndian.put16(translation, 2, CODE_PAGE);
        byte[] var = node("Translation", translation, 4, false, List.of());
        byte[] varFileInfo = node("VarFileInfo", new byte[0], 0, true, List.of(var));
        byte[] fixed = fixedFileInfo();
        return node("VS_VERSION_INFO", fixed, fixed.length, false,
                List.of(stringFileInfo, varFileInfo));
    }

    private byte[] fixedFileInfo() {
        long high = (long) version[0] << 16 | version[1];
        long low = (long) version[2] << 16 | version[3];
        long[] fields = {FIXED_SIGNATURE, 0x10000, high, low, high, low, 0x3F, 0, OS_WINDOWS_NT,
                TYPE_APPLICATION, 0, 0, 0};
        byte[] out = new byte[fields.length * 4];
        for (int i = 0; i < fields.length; i++) {
            LittleEndian.put32(out, i * 4, fields[i]);
        }
        return out;
    }

    /** valueLength counts bytes for binary values and characters for text ones. */
    private static byte[] node(String key, byte[] value, int valueLength, boolean text,
            List<byte[]> children) {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        out.writeBytes(new byte[6]);
        out.writeBytes(utf16z(key));
        pad(out);
        out.writeBytes(value);
        for (byte[] child : children) {
            pad(out);
            out.writeBytes(child);
        }
        byte[] bytes = out.toByteArray();
        if (bytes.length > 0xFFFF) {
            throw new IllegalArgumentException("the version texts are too long (over 64 KB)");
        }
        LittleEndian.put16(bytes, 0, bytes.length);
        LittleEndian.put16(bytes, 2, valueLength);
        LittleEndian.put16(bytes, 4, text ? 1 : 0);
        return bytes;
    }

    private static void pad(ByteArrayOutputStream out) {
        while (out.size() % 4 != 0) out.write(0);
    }

    private static byte[] utf16z(String text) {
        return (text + "\0").getBytes(StandardCharsets.UTF_16LE);
    }
}
