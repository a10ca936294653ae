package javalauncher.packer.resources;

import static javalauncher.packer.TestInputs.put16;
import static javalauncher.packer.TestInputs.put32;
import static javalauncher.packer.TestInputs.u16;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.Arrays;
import java.util.Set;
import java.util.function.UnaryOperator;
import java.util.stream.Stream;
import javalauncher.packer.TestInputs;
import javalauncher.packer.pe.PeFile;
import javalauncher.packer.pe.ResourceName;
import javalauncher.packer.pe.ResourceTree;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

class IconAndVersionTest {
    private static final ResourceName ICON = ResourceName.of(ResourceTree.TYPE_ICON);
    private static final ResourceName GROUP = ResourceName.of(ResourceTree.TYPE_GROUP_ICON);

    /** All sizes go in; the group lists each with its size and the number of its image. */
    @Test
    void iconGroupHoldsEveryImageOfTheFile() throws Exception {
        IconFile icon = IconFile.parse(TestInputs.icon(16, 32, 48, 256));
        ResourceTree tree = PeFile.read(TestInputs.launcher("launcher.exe")).resources();
        ResourceName oldGroup = tree.namesOf(GROUP).keySet().iterator().next();

        Branding.setIcon(tree, icon);

        assertEquals(Set.of(oldGroup), tree.namesOf(GROUP).keySet(), "the group keeps its name");
        byte[] group = tree.namesOf(GROUP).values().iterator().next().values().iterator().next()
                .data;
        assertEquals(4, u16(group, 4));
        int[] expectedWidths = {16, 32, 48, 0};
        for (int i = 0; i < 4; i++) {
            int entry = 6 + 14 * i;
            assertEquals(expectedWidths[i], group[entry] & 0xFF);
            int id = u16(group, entry + 12);
            byte[] image = tree.get(ICON, ResourceName.of(id), 0);
            assertNotNull(image, "image " + id);
            assertArrayEquals(icon.images.get(i).data(), image);
            assertEquals(image.length, TestInputs.u32(group, entry + 8));
        }
        assertEquals(4, tree.namesOf(ICON).size(), "the launcher's own images are gone");
    }

    static Stream<Arguments> brokenIcons() {
        return Stream.of(
                broken("empty", bytes -> new byte[0], "not an icon file"),
                broken("a cursor", bytes -> {
                    put16(bytes, 2, 2);
                    return bytes;
                }, "not an icon file"),
                broken("no images", bytes -> {
                    put16(bytes, 4, 0);
                    return bytes;
                }, "holds no images"),
                broken("directory longer than the file", bytes -> {
                    put16(bytes, 4, 5000);
                    return bytes;
                }, "truncated"),
                broken("image past the end", bytes -> {
                    put32(bytes, 6 + 8, 0x7FFFFFFFL);
                    return bytes;
                }, "lies outside the file"),
                broken("image inside the header", bytes -> {
                    put32(bytes, 6 + 12, 2);
                    return bytes;
                }, "lies outside the file"),
                broken("image neither PNG nor bitmap", bytes -> {
                    Arrays.fill(bytes, 6 + 16 * 2, 6 + 16 * 2 + 8, (byte) 'x');
                    return bytes;
                }, "neither PNG nor bitmap"),
                broken("cut short", bytes -> Arrays.copyOf(bytes, bytes.length - 10),
                        "lies outside the file"));
    }

    private static Arguments broken(String what, UnaryOperator<byte[]> damage, String message) {
        return Arguments.of(what, damage, message);
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("brokenIcons")
    void brokenIconFilesAreRefusedWithAReason(String what, UnaryOperator<byte[]> damage,
            String message) {
        byte[] damaged = damage.apply(TestInputs.icon(16, 32));
        IllegalArgumentException error =
                assertThrows(IllegalArgumentException.class, () -> IconFile.parse(damaged));
        assertTrue(error.getMessage().contains(message), error.getMessage());
    }

    /** The fixed part and the lengths that GetFileVersionInfo walks by. */
    @Test
    void versionBlockLengthsAndNumbersAreConsistent() {
        byte[] block = new VersionInfo(new int[] {1, 2, 3, 65535})
                .with("CompanyName", "Ünïcode Ltd").with("ProductName", "App").toBytes();
        assertEquals(block.length, u16(block, 0));
        assertEquals(52, u16(block, 2));
        int fixed = 6 + 2 * ("VS_VERSION_INFO".length() + 1) + 2;
        assertEquals(0xFEEF04BD, TestInputs.u32(block, fixed));
        assertEquals(1 << 16 | 2, TestInputs.u32(block, fixed + 8));
        assertEquals(3 << 16 | 65535, TestInputs.u32(block, fixed + 12));
        String text = new String(block, java.nio.charset.StandardCharsets.UTF_16LE);
        assertTrue(text.contains("CompanyName\0") && text.contains("\0Ünïcode Ltd\0"), text);
    }

    @Test
    void overlongVersionTextsAreRefusedNotTruncated() {
        VersionInfo info = new VersionInfo(new int[4]).with("Comments", "x".repeat(40_000));
        assertThrows(IllegalArgumentException.class, info::toBytes);
    }
}
