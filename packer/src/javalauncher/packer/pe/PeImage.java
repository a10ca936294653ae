package javalauncher.packer.pe;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * The headers of a 32- or 64-bit Windows executable, checked strictly: anything the packer
 * would have to guess about (overlapping sections, tables outside the file, odd alignments) is
 * refused, since rewriting such a file could produce an image that no longer loads.
 */
public final class PeImage {
    public static final int MACHINE_I386 = 0x14C;
    public static final int MACHINE_AMD64 = 0x8664;
    public static final int DIRECTORY_SECURITY = 4;
    public static final int DIRECTORY_RESOURCE = 2;
    public static final int DIRECTORY_BASE_RELOCATION = 5;

    private static final int PE32_MAGIC = 0x10B;
    private static final int PE32_PLUS_MAGIC = 0x20B;
    private static final int MAX_SECTIONS = 96;

    final byte[] data;
    public final int machine;
    public final boolean is64Bit;
    final int optionalHeaderOffset;
    final int sectionTableOffset;
    final int directoryTableOffset;
    final int directoryCount;
    final long sizeOfHeaders;
    final long fileAlignment;
    final long sectionAlignment;
    public final List<Section> sections;

    private PeImage(byte[] data, int machine, boolean is64Bit, int optionalHeaderOffset,
            int sectionTableOffset, int directoryTableOffset, int directoryCount,
            long sizeOfHeaders, long fileAlignment, long sectionAlignment,
            List<Section> sections) {
        this.data = data;
        this.machine = machine;
        this.is64Bit = is64Bit;
        this.optionalHeaderOffset = optionalHeaderOffset;
        this.sectionTableOffset = sectionTableOffset;
        this.directoryTableOffset = directoryTableOffset;
        this.directoryCount = directoryCount;
        this.sizeOfHeaders = sizeOfHeaders;
        this.fileAlignment = fileAlignment;
        this.sectionAlignment = sectionAlignment;
        this.sections = Collections.unmodifiableList(sections);
    }

    /** The machine type of an image's first bytes, or -1 when they are no PE image. */
    public static int machineOf(byte[] head) {
        try {
            if (head.length < 64 || head[0] != 'M' || head[1] != 'Z') return -1;
            long pe = LittleEndian.u32(head, 0x3C, "the PE header offset");
            LittleEndian.require(head, pe, 6, "the PE header");
            int at = (int) pe;
            if (head[at] != 'P' || head[at + 1] != 'E' || head[at + 2] != 0 || head[at + 3] != 0) {
                return -1;
            }
            return LittleEndian.u16(head, pe + 4, "the machine type");
        } catch (PeFormatException e) {
            return -1;
        }
    }

    /** Reads and checks the headers; the array is kept, not copied. */
    public static PeImage parse(byte[] data) throws PeFormatException {
        if (data.length < 64 || data[0] != 'M' || data[1] != 'Z') {
            throw new PeFormatException("not a Windows executable (no MZ header)");
        }
        long peOffset = LittleEndian.u32(data, 0x3C, "the PE header offset");
        LittleEndian.require(data, peOffset, 24, "the PE header");
        int pe = (int) peOffset;
        if (data[pe] != 'P' || data[pe + 1] != 'E' || data[pe + 2] != 0 || data[pe + 3] != 0) {
            throw new PeFormatException("not a Windows executable (no PE signature)");
        }
        int machine = LittleEndian.u16(data, pe + 4, "the machine type");
        int sectionCount = LittleEndian.u16(data, pe + 6, "the section count");
        long symbolTable = LittleEndian.u32(data, pe + 12, "the symbol table pointer");
        int optionalSize = LittleEndian.u16(data, pe + 20, "the optional header size");
        int optional = pe + 24;
        int magic = LittleEndian.u16(data, optional, "the optional header");
        boolean is64Bit;
        if (machine == MACHINE_I386 && magic == PE32_MAGIC) {
            is64Bit = false;
        } else if (machine == MACHINE_AMD64 && magic == PE32_PLUS_MAGIC) {
            is64Bit = true;
        } else {
            throw new PeFormatException(String.format(
                    "unsupported executable type (machine 0x%X, optional header 0x%X): only"
                            + " 32-bit x86 and 64-bit x86-64 images are handled",
                    machine, magic));
        }
        if (symbolTable != 0) {
            throw new PeFormatException("the executable carries a COFF symbol table;"
                    + " strip it (strip or the linker's -s) before packing");
        }
        if (sectionCount == 0 || sectionCount > MAX_SECTIONS) {
            throw new PeFormatException("implausible section count " + sectionCount);
        }
        int directoriesAt = is64Bit ? 112 : 96;
        LittleEndian.require(data, optional, directoriesAt, "the optional header");
        if (optionalSize < directoriesAt) {
            throw new PeFormatException("the optional header is too short (" + optionalSize
                    + " bytes)");
        }
        long directoryCount = LittleEndian.u32(data, optional + directoriesAt - 4,
                "the data directory count");
        if (directoryCount > 16 || directoriesAt + directoryCount * 8 > optionalSize) {
            throw new PeFormatException("the data directory table does not fit the optional"
                    + " header (" + directoryCount + " entries)");
        }
        long sectionAlignment = LittleEndian.u32(data, optional + 32, "the section alignment");
        long fileAlignment = LittleEndian.u32(data, optional + 36, "the file alignment");
        if (!isPowerOfTwo(fileAlignment) || fileAlignment < 512 || fileAlignment > 65536
                || !isPowerOfTwo(sectionAlignment) || sectionAlignment < fileAlignment) {
            throw new PeFormatException("unusual alignments (file " + fileAlignment
                    + ", sections " + sectionAlignment + ")");
        }
        long sizeOfHeaders = LittleEndian.u32(data, optional + 60, "the header size");
        int sectionTable = optional + optionalSize;
        long tableEnd = (long) sectionTable + (long) sectionCount * Section.HEADER_SIZE;
        LittleEndian.require(data, sectionTable, tableEnd - sectionTable, "the section table");
        if (tableEnd > sizeOfHeaders) {
            throw new PeFormatException("the section table runs past the headers");
        }
        List<Section> sections = readSections(data, sectionTable, sectionCount, sizeOfHeaders,
                sectionAlignment);
        return new PeImage(data, machine, is64Bit, optional, sectionTable,
                optional + directoriesAt, (int) directoryCount, sizeOfHeaders, fileAlignment,
                sectionAlignment, sections);
    }

    private static List<Section> readSections(byte[] data, int table, int count,
            long sizeOfHeaders, long sectionAlignment) throws PeFormatException {
        List<Section> sections = new ArrayList<>();
        for (int i = 0; i < count; i++) {
            int at = table + i * Section.HEADER_SIZE;
            int nameLength = 0;
            while (nameLength < 8 && data[at + nameLength] != 0) nameLength++;
            String name = new String(data, at, nameLength, StandardCharsets.ISO_8859_1);
            Section section = new Section(name, LittleEndian.u32(data, at + 8, name),
                    LittleEndian.u32(data, at + 12, name), LittleEndian.u32(data, at + 16, name),
                    LittleEndian.u32(data, at + 20, name), LittleEndian.u32(data, at + 36, name));
            if (section.rawSize > 0) {
                if (section.rawPointer < sizeOfHeaders) {
                    throw new PeFormatException("section " + name + " overlaps the headers");
                }
                LittleEndian.require(data, section.rawPointer, section.rawSize,
                        "the data of section " + name);
            }
            if (section.virtualAddress % sectionAlignment != 0) {
                throw new PeFormatException("section " + name + " is not aligned");
            }
            if (!sections.isEmpty()) {
                Section previous = sections.get(sections.size() - 1);
                if (section.virtualAddress < previous.virtualAddress + previous.mappedSize()) {
                    throw new PeFormatException("sections " + previous.name + " and " + name
                            + " overlap in memory");
                }
                for (Section other : sections) {
                    if (section.rawSize > 0 && other.rawSize > 0
                            && section.rawPointer < other.rawPointer + other.rawSize
                            && other.rawPointer < section.rawPointer + section.rawSize) {
                        throw new PeFormatException("sections " + other.name + " and " + name
                                + " overlap in the file");
                    }
                }
            }
            sections.add(section);
        }
        return sections;
    }

    private static boolean isPowerOfTwo(long value) {
        return value > 0 && (value & (value - 1)) == 0;
    }

    public long directoryRva(int index) throws PeFormatException {
        if (index >= directoryCount) return 0;
        return LittleEndian.u32(data, directoryTableOffset + index * 8L, "a data directory");
    }

    public long directorySize(int index) throws PeFormatException {
        if (index >= directoryCount) return 0;
        return LittleEndian.u32(data, directoryTableOffset + index * 8L + 4, "a data directory");
    }

    int checksumOffset() {
        return optionalHeaderOffset + 64;
    }

    /** The section whose mapped range holds the address, or -1. */
    int sectionIndexOf(long rva) {
        for (int i = 0; i < sections.size(); i++) {
            if (sections.get(i).containsRva(rva)) return i;
        }
        return -1;
    }

    /** The end of the last section's data in the file: what follows is overlay. */
    long endOfSectionData() {
        long end = sizeOfHeaders;
        for (Section section : sections) {
            end = Math.max(end, section.rawPointer + section.rawSize);
        }
        return end;
    }
}
