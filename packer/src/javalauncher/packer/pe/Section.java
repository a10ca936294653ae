package javalauncher.packer.pe;

/** One row of the section table, as read from the file. */
public final class Section {
    public static final int HEADER_SIZE = 40;
    static final long CONTAINS_INITIALIZED_DATA = 0x40;

    public final String name;
    public final long virtualSize;
    public final long virtualAddress;
    public final long rawSize;
    public final long rawPointer;
    public final long characteristics;

    Section(String name, long virtualSize, long virtualAddress, long rawSize, long rawPointer,
            long characteristics) {
        this.name = name;
        this.virtualSize = virtualSize;
        this.virtualAddress = virtualAddress;
        this.rawSize = rawSize;
        this.rawPointer = rawPointer;
        this.characteristics = characteristics;
    }

    /** The size the loader maps: the larger of the virtual and the raw size. */
    long mappedSize() {
        return Math.max(virtualSize, rawSize);
    }

    boolean containsRva(long rva) {
        return rva >= virtualAddress && rva < virtualAddress + mappedSize();
    }

    Section movedTo(long newVirtualAddress, long newRawPointer) {
        return new Section(name, virtualSize, newVirtualAddress, rawSize, newRawPointer,
                characteristics);
    }

    Section resized(long newVirtualSize, long newRawSize) {
        return new Section(name, newVirtualSize, virtualAddress, newRawSize, rawPointer,
                characteristics);
    }
}
