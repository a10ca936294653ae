package javalauncher.packer.pe;

import static javalauncher.packer.TestInputs.put16;
import static javalauncher.packer.TestInputs.put32;
import static javalauncher.packer.TestInputs.u16;
import static javalauncher.packer.TestInputs.u32;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.Arrays;
import java.util.Random;
import java.util.function.UnaryOperator;
import java.util.stream.Stream;
import javalauncher.packer.TestInputs;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.ValueSource;

class PeFileTest {
    private static final ResourceName CUSTOM = ResourceName.of("BASESETTINGS");

    @ParameterizedTest
    @ValueSource(strings = {"launcher.exe", "launcher64.exe"})
    void checksumOfTheLinkedLauncherMatchesTheLinkers(String name) throws Exception {
        byte[] launcher = TestInputs.launcher(name);
        PeImage image = PeImage.parse(launcher);
        assertEquals(u32(launcher, image.checksumOffset()) & 0xFFFFFFFFL,
                PeChecksum.compute(launcher, image.checksumOffset()));
    }

    /** Every resource written reads back byte for byte, the launcher's own ones included. */
    @ParameterizedTest
    @ValueSource(strings = {"launcher.exe", "launcher64.exe"})
    void writtenResourcesReadBackExactly(String name) throws Exception {
        byte[] launcher = TestInputs.launcher(name);
        PeFile original = PeFile.read(launcher);
        ResourceTree tree = original.resources();
        byte[] large = new byte[300_000];
        new Random(1).nextBytes(large);
        tree.put(CUSTOM, ResourceName.of("{ABC}"), 0, "base".getBytes("UTF-16LE"));
        tree.put(ResourceName.of(10), ResourceName.of(7), 1033, large);
        tree.put(ResourceName.of(10), ResourceName.of("odd"), 0, new byte[] {1, 2, 3});

        byte[] packed = original.withResources(tree);
        PeFile reread = PeFile.read(packed);

        assertEquals(tree, reread.resources());
        assertEquals(original.is64Bit(), reread.is64Bit());
        PeImage image = PeImage.parse(packed);
        assertEquals(u32(packed, image.checksumOffset()) & 0xFFFFFFFFL,
                PeChecksum.compute(packed, image.checksumOffset()));
        assertLayoutConsistent(image);
        assertRelocationsKept(PeImage.parse(launcher), image);
    }

    /** Packing a packed file again replaces, never accumulates, and keeps the image intact. */
    @ParameterizedTest
    @ValueSource(strings = {"launcher.exe", "launcher64.exe"})
    void secondPackOverAPackedFileReplacesTheFirst(String name) throws Exception {
        byte[] launcher = TestInputs.launcher(name);
        ResourceTree first = PeFile.read(launcher).resources();
        first.put(CUSTOM, ResourceName.of("{FIRST}"), 0, new byte[200_000]);
        byte[] once = PeFile.read(launcher).withResources(first);

        ResourceTree second = PeFile.read(once).resources();
        second.removeType(CUSTOM);
        second.put(CUSTOM, ResourceName.of("{SECOND}"), 0, new byte[] {9});
        byte[] twice = PeFile.read(once).withResources(second);

        ResourceTree result = PeFile.read(twice).resources();
        assertNull(result.get(CUSTOM, ResourceName.of("{FIRST}"), 0));
        assertArrayEquals(new byte[] {9}, result.get(CUSTOM, ResourceName.of("{SECOND}"), 0));
        assertTrue(twice.length < once.length, "the section shrank with its content");
        assertLayoutConsistent(PeImage.parse(twice));
        assertRelocationsKept(PeImage.parse(launcher), PeImage.parse(twice));
        assertSameAfterHeaders(Arrays.copyOf(launcher, sectionStart(launcher, ".rsrc")),
                Arrays.copyOf(twice, sectionStart(launcher, ".rsrc")), headerSize(launcher));
    }

    @ParameterizedTest
    @ValueSource(strings = {"launcher.exe", "launcher64.exe"})
    void signatureOfASignedInputIsDropped(String name) throws Exception {
        byte[] launcher = TestInputs.launcher(name);
        byte[] signed = Arrays.copyOf(launcher, launcher.length + 64);
        int directories = directoryTable(signed);
        put32(signed, directories + 8 * PeImage.DIRECTORY_SECURITY, launcher.length);
        put32(signed, directories + 8 * PeImage.DIRECTORY_SECURITY + 4, 64);

        PeFile file = PeFile.read(signed);
        byte[] packed = file.withResources(file.resources());

        PeImage image = PeImage.parse(packed);
        assertEquals(0, image.directoryRva(PeImage.DIRECTORY_SECURITY));
        assertEquals(image.endOfSectionData(), packed.length);
    }

    static Stream<Arguments> malformedInputs() {
        return Stream.of(
                malformed("empty file", bytes -> new byte[0], "no MZ header"),
                malformed("DOS header only", bytes -> Arrays.copyOf(bytes, 0x40), "outside"),
                malformed("truncated in the PE header",
                        bytes -> Arrays.copyOf(bytes, peOffset(bytes) + 30), "outside"),
                malformed("truncated in the section table",
                        bytes -> Arrays.copyOf(bytes, sectionTable(bytes) + 50), "outside"),
                malformed("truncated in the resources",
                        bytes -> Arrays.copyOf(bytes, sectionStart(bytes, ".rsrc") + 100),
                        "outside"),
                malformed("PE offset far outside", bytes -> {
                    put32(bytes, 0x3C, 0x7FFFFFF0L);
                    return bytes;
                }, "outside"),
                malformed("ARM machine", bytes -> {
                    put16(bytes, peOffset(bytes) + 4, 0x1C0);
                    return bytes;
                }, "unsupported executable type"),
                malformed("symbol table", bytes -> {
                    put32(bytes, peOffset(bytes) + 12, 0x1000);
                    return bytes;
                }, "symbol table"),
                malformed("sections overlapping in memory", bytes -> {
                    int table = sectionTable(bytes);
                    put32(bytes, table + 40 + 12, u32(bytes, table + 12));
                    return bytes;
                }, "overlap in memory"),
                malformed("sections overlapping in the file", bytes -> {
                    int table = sectionTable(bytes);
                    put32(bytes, table + 40 + 20, u32(bytes, table + 20));
                    return bytes;
                }, "overlap in the file"),
                malformed("file alignment of 256", bytes -> {
                    put32(bytes, peOffset(bytes) + 24 + 36, 256);
                    return bytes;
                }, "alignments"),
                malformed("resource directory that loops", bytes -> {
                    int root = sectionStart(bytes, ".rsrc");
                    put32(bytes, root + 16 + 4, 0x80000000L);
                    return bytes;
                }, "refers back to itself"),
                malformed("resource directory with 65535 entries", bytes -> {
                    put16(bytes, sectionStart(bytes, ".rsrc") + 14, 0xFFFF);
                    return bytes;
                }, "outside the resource section"),
                malformed("resource data outside its section", bytes -> {
                    int entry = firstDataEntry(bytes);
                    put32(bytes, entry, 0x10);
                    return bytes;
                }, "outside the resource section"),
                malformed("data appended after the sections", bytes -> {
                    byte[] longer = Arrays.copyOf(bytes, bytes.length + 1000);
                    longer[bytes.length] = 'P';
                    return longer;
                }, "unknown data follow"),
                malformed("a section other than .reloc after the resources", bytes -> {
                    int reloc = sectionHeader(bytes, ".reloc");
                    bytes[reloc + 1] = 'x';
                    return bytes;
                }, "follows the resource section"),
                malformed("a directory pointing into the resources", bytes -> {
                    int debug = directoryTable(bytes) + 8 * 6;
                    put32(bytes, debug, u32(bytes, directoryTable(bytes) + 8 * 2));
                    put32(bytes, debug + 4, 28);
                    return bytes;
                }, "points into the resource section"));
    }

    private static Arguments malformed(String what, UnaryOperator<byte[]> damage,
            String expectedMessage) {
        return Arguments.of(what, damage, expectedMessage);
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("malformedInputs")
    void malformedInputIsRefusedWithAReason(String what, UnaryOperator<byte[]> damage,
            String expectedMessage) {
        for (String name : new String[] {"launcher.exe", "launcher64.exe"}) {
            byte[] damaged = damage.apply(TestInputs.launcher(name));
            PeFormatException refused =
                    assertThrows(PeFormatException.class, () -> PeFile.read(damaged), name);
            assertTrue(refused.getMessage().contains(expectedMessage),
                    name + ": " + refused.getMessage());
        }
    }

    /** Random damage to the headers and the resource directory never escapes as a crash. */
    @ParameterizedTest
    @ValueSource(strings = {"launcher.exe", "launcher64.exe"})
    void randomDamageIsRefusedOrPackedNeverACrash(String name) throws Exception {
        byte[] launcher = TestInputs.launcher(name);
        int resources = sectionStart(launcher, ".rsrc");
        Random random = new Random(15);
        for (int round = 0; round < 1500; round++) {
            byte[] damaged = launcher.clone();
            for (int flips = 1 + random.nextInt(4); flips > 0; flips--) {
                int at = random.nextBoolean() ? random.nextInt(0x400)
                        : resources + random.nextInt(0x200);
                damaged[at] = (byte) random.nextInt(256);
            }
            try {
                PeFile file = PeFile.read(damaged);
                PeFile.read(file.withResources(file.resources()));
            } catch (PeFormatException expected) {
                // Refused with a message: fine.
            }
        }
    }

    private static void assertLayoutConsistent(PeImage image) throws PeFormatException {
        Section last = image.sections.get(image.sections.size() - 1);
        long sizeOfImage = u32(image.data, image.optionalHeaderOffset + 56) & 0xFFFFFFFFL;
        long expected = (last.virtualAddress + last.mappedSize() + image.sectionAlignment - 1)
                / image.sectionAlignment * image.sectionAlignment;
        assertEquals(expected, sizeOfImage, "SizeOfImage");
        Section resources = image.sections.get(image.sectionIndexOf(
                image.directoryRva(PeImage.DIRECTORY_RESOURCE)));
        assertEquals(resources.virtualSize, image.directorySize(PeImage.DIRECTORY_RESOURCE));
        assertEquals(0, resources.rawSize % image.fileAlignment);
    }

    private static void assertRelocationsKept(PeImage before, PeImage after)
            throws PeFormatException {
        assertArrayEquals(relocationBytes(before), relocationBytes(after));
    }

    private static byte[] relocationBytes(PeImage image) throws PeFormatException {
        long rva = image.directoryRva(PeImage.DIRECTORY_BASE_RELOCATION);
        Section section = image.sections.get(image.sectionIndexOf(rva));
        int start = (int) (section.rawPointer + rva - section.virtualAddress);
        return Arrays.copyOfRange(image.data, start,
                start + (int) image.directorySize(PeImage.DIRECTORY_BASE_RELOCATION));
    }

    /** Code and data stay as they are; only the header block is rewritten. */
    private static void assertSameAfterHeaders(byte[] expected, byte[] actual, int headerSize) {
        assertArrayEquals(Arrays.copyOfRange(expected, headerSize, expected.length),
                Arrays.copyOfRange(actual, headerSize, actual.length));
    }

    private static int headerSize(byte[] bytes) {
        return u32(bytes, peOffset(bytes) + 24 + 60);
    }

    static int peOffset(byte[] bytes) {
        return u32(bytes, 0x3C);
    }

    static int sectionTable(byte[] bytes) {
        return peOffset(bytes) + 24 + u16(bytes, peOffset(bytes) + 20);
    }

    static int directoryTable(byte[] bytes) {
        boolean is64 = u16(bytes, peOffset(bytes) + 24) == 0x20B;
        return peOffset(bytes) + 24 + (is64 ? 112 : 96);
    }

    static int sectionHeader(byte[] bytes, String name) {
        int count = u16(bytes, peOffset(bytes) + 6);
        for (int i = 0; i < count; i++) {
            int at = sectionTable(bytes) + 40 * i;
            String sectionName = new String(bytes, at, 8).replace("\0", "");
            if (sectionName.equals(name)) return at;
        }
        throw new IllegalStateException("no section " + name);
    }

    static int sectionStart(byte[] bytes, String name) {
        return u32(bytes, sectionHeader(bytes, name) + 20);
    }

    /** The data entry of the first leaf: root, first type, first name, first language. */
    private static int firstDataEntry(byte[] bytes) {
        int root = sectionStart(bytes, ".rsrc");
        int type = root + (u32(bytes, root + 20) & 0x7FFFFFFF);
        int name = root + (u32(bytes, type + 20) & 0x7FFFFFFF);
        return root + u32(bytes, name + 20);
    }
}
