package javalauncher.packer.pe;

import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import java.util.HashSet;
import java.util.Set;

/**
 * Reads the resource directory of an image into a ResourceTree. The directory is a tree of
 * exactly three levels (type, name, language) whose leaves point at data; a directory reached
 * twice (a loop or a shared subtree), an offset outside the section or a leaf at the wrong
 * depth makes the whole file refused rather than half read.
 */
final class ResourceReader {
    private static final long SUBDIRECTORY_FLAG = 0x80000000L;
    private static final int DIRECTORY_HEADER_SIZE = 16;
    private static final int ENTRY_SIZE = 8;
    private static final int DATA_ENTRY_SIZE = 16;
    private static final int LEVELS = 3;

    private final byte[] data;
    private final Section section;
    private final long start;
    private final long limit;
    private final Set<Long> visited = new HashSet<>();

    private ResourceReader(byte[] data, Section section, long directoryRva) {
        this.data = data;
        this.section = section;
        this.start = section.rawPointer + (directoryRva - section.virtualAddress);
        this.limit = section.rawPointer + section.rawSize;
    }

    static ResourceTree read(PeImage image, Section section, long directoryRva)
            throws PeFormatException {
        ResourceReader reader = new ResourceReader(image.data, section, directoryRva);
        ResourceTree tree = new ResourceTree();
        reader.readDirectory(0, 0, new ResourceName[LEVELS], tree);
        return tree;
    }

    private void readDirectory(long offset, int level, ResourceName[] path, ResourceTree tree)
            throws PeFormatException {
        if (!visited.add(offset)) {
            throw new PeFormatException("the resource directory refers back to itself");
        }
        long at = checked(offset, DIRECTORY_HEADER_SIZE, "a resource directory");
        int named = LittleEndian.u16(data, at + 12, "a resource directory");
        int numbered = LittleEndian.u16(data, at + 14, "a resource directory");
        long entries = (long) named + numbered;
        checked(offset + DIRECTORY_HEADER_SIZE, entries * ENTRY_SIZE, "resource directory entries");
        for (long i = 0; i < entries; i++) {
            long entry = at + DIRECTORY_HEADER_SIZE + i * ENTRY_SIZE;
            long nameField = LittleEndian.u32(data, entry, "a resource entry");
            long target = LittleEndian.u32(data, entry + 4, "a resource entry");
            path[level] = (nameField & SUBDIRECTORY_FLAG) != 0
                    ? ResourceName.of(readString(nameField & ~SUBDIRECTORY_FLAG))
                    : ResourceName.of((int) (nameField & 0xFFFF));
            boolean isDirectory = (target & SUBDIRECTORY_FLAG) != 0;
            if (isDirectory != (level < LEVELS - 1)) {
                throw new PeFormatException("the resource directory is not three levels deep");
            }
            if (isDirectory) {
                readDirectory(target & ~SUBDIRECTORY_FLAG, level + 1, path, tree);
            } else if (path[2].isString()) {
                throw new PeFormatException("a resource language is given as a name");
            } else {
                tree.put(path[0], path[1], path[2].id(), readLeaf(target));
            }
        }
    }

    private ResourceTree.Entry readLeaf(long offset) throws PeFormatException {
        long at = checked(offset, DATA_ENTRY_SIZE, "a resource data entry");
        long rva = LittleEndian.u32(data, at, "a resource data entry");
        long size = LittleEndian.u32(data, at + 4, "a resource data entry");
        long codePage = LittleEndian.u32(data, at + 8, "a resource data entry");
        long fileOffset = section.rawPointer + (rva - section.virtualAddress);
        if (rva < section.virtualAddress || fileOffset + size > limit) {
            throw new PeFormatException("resource data lies outside the resource section");
        }
        return new ResourceTree.Entry(
                Arrays.copyOfRange(data, (int) fileOffset, (int) (fileOffset + size)), codePage);
    }

    private String readString(long offset) throws PeFormatException {
        long at = checked(offset, 2, "a resource name");
        int length = LittleEndian.u16(data, at, "a resource name");
        checked(offset + 2, length * 2L, "a resource name");
        return new String(data, (int) at + 2, length * 2, StandardCharsets.UTF_16LE);
    }

    /** The file offset of a range given relative to the directory's start, if it fits. */
    private long checked(long offset, long length, String what) throws PeFormatException {
        long at = start + offset;
        if (at + length > limit) {
            throw new PeFormatException(what + " lies outside the resource section");
        }
        return at;
    }
}
