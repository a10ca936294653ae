package javalauncher.packer.pe;

import java.util.Arrays;
import java.util.List;

/**
 * An executable whose resource section the packer can replace. The resource section must be
 * the last section apart from the base relocations that may follow it: those are moved up
 * behind the new resources, since nothing but their directory entry refers to their address.
 * Every other layout is refused, and so is data appended behind the sections, except an
 * Authenticode signature, which the new resources would invalidate and which is dropped.
 */
public final class PeFile {
    private final PeImage image;
    private final int resourceIndex;
    private final ResourceTree resources;

    private PeFile(PeImage image, int resourceIndex, ResourceTree resources) {
        this.image = image;
        this.resourceIndex = resourceIndex;
        this.resources = resources;
    }

    public static PeFile read(byte[] data) throws PeFormatException {
        PeImage image = PeImage.parse(data);
        long resourceRva = image.directoryRva(PeImage.DIRECTORY_RESOURCE);
        int resourceIndex = image.sectionIndexOf(resourceRva);
        if (resourceRva == 0 || resourceIndex < 0) {
            throw new PeFormatException("the executable has no resource section");
        }
        Section resourceSection = image.sections.get(resourceIndex);
        if (resourceRva != resourceSection.virtualAddress) {
            throw new PeFormatException("section " + resourceSection.name
                    + " holds other data before the resources");
        }
        checkTrailingSections(image, resourceIndex);
        checkDirectories(image, resourceIndex);
        checkOverlay(image);
        return new PeFile(image, resourceIndex,
                ResourceReader.read(image, resourceSection, resourceRva));
    }

    private static void checkTrailingSections(PeImage image, int resourceIndex)
            throws PeFormatException {
        Section resourceSection = image.sections.get(resourceIndex);
        for (int i = 0; i < image.sections.size(); i++) {
            Section section = image.sections.get(i);
            if (i > resourceIndex) {
                long relocations = image.directoryRva(PeImage.DIRECTORY_BASE_RELOCATION);
                if (!section.name.equals(".reloc") || !section.containsRva(relocations)) {
                    throw new PeFormatException("section " + section.name
                            + " follows the resource section; only base relocations can be"
                            + " moved");
                }
            }
            boolean laterInFile = section.rawPointer > resourceSection.rawPointer;
            if (section.rawSize > 0 && i != resourceIndex && laterInFile != (i > resourceIndex)) {
                throw new PeFormatException("the sections are not stored in address order");
            }
        }
    }

    /** Tables the loader finds by address must not live where sections will move. */
    private static void checkDirectories(PeImage image, int resourceIndex)
            throws PeFormatException {
        for (int index = 0; index < image.directoryCount; index++) {
            if (index == PeImage.DIRECTORY_SECURITY || index == PeImage.DIRECTORY_RESOURCE
                    || index == PeImage.DIRECTORY_BASE_RELOCATION) {
                continue;
            }
            long rva = image.directoryRva(index);
            if (rva != 0 && image.sectionIndexOf(rva) >= resourceIndex) {
                throw new PeFormatException("data directory " + index
                        + " points into the resource section or behind it");
            }
        }
    }

    private static void checkOverlay(PeImage image) throws PeFormatException {
        long end = image.endOfSectionData();
        long length = image.data.length;
        if (length <= end) return;
        long signature = image.directoryRva(PeImage.DIRECTORY_SECURITY);
        long signatureSize = image.directorySize(PeImage.DIRECTORY_SECURITY);
        boolean onlySignature = signature >= end && signature - end < 8
                && signature + signatureSize == length;
        if (!onlySignature) {
            throw new PeFormatException((length - end) + " bytes of unknown data follow the"
                    + " last section (an appended archive or debug data?)");
        }
    }

    public boolean is64Bit() {
        return image.is64Bit;
    }

    public int machine() {
        return image.machine;
    }

    /** A copy of the resources, to edit and hand back to withResources. */
    public ResourceTree resources() {
        ResourceTree copy = new ResourceTree();
        resources.types().forEach((type, names) -> names.forEach((name, languages) ->
                languages.forEach((language, entry) -> copy.put(type, name, language, entry))));
        return copy;
    }

    /** The whole file with its resource section replaced by the tree's. */
    public byte[] withResources(ResourceTree tree) throws PeFormatException {
        List<Section> sections = image.sections;
        Section oldResources = sections.get(resourceIndex);
        byte[] resourceBytes = ResourceWriter.write(tree, oldResources.virtualAddress);
        long newRawSize = align(resourceBytes.length, image.fileAlignment);

        Section[] placed = new Section[sections.size()];
        placed[resourceIndex] = oldResources.resized(resourceBytes.length, newRawSize);
        long nextAddress = placed[resourceIndex].virtualAddress
                + align(resourceBytes.length, image.sectionAlignment);
        long nextPointer = oldResources.rawPointer + newRawSize;
        for (int i = resourceIndex + 1; i < sections.size(); i++) {
            placed[i] = sections.get(i).movedTo(nextAddress, nextPointer);
            nextAddress += align(placed[i].mappedSize(), image.sectionAlignment);
            nextPointer += align(placed[i].rawSize, image.fileAlignment);
        }
        if (nextPointer > Integer.MAX_VALUE - 8) {
            throw new PeFormatException("the packed executable would exceed 2 GB");
        }

        byte[] out = Arrays.copyOf(image.data, (int) nextPointer);
        Arrays.fill(out, (int) oldResources.rawPointer, out.length, (byte) 0);
        System.arraycopy(resourceBytes, 0, out, (int) oldResources.rawPointer,
                resourceBytes.length);
        for (int i = 0; i < sections.size(); i++) {
            if (placed[i] == null) continue;
            if (i > resourceIndex) {
                Section old = sections.get(i);
                System.arraycopy(image.data, (int) old.rawPointer, out,
                        (int) placed[i].rawPointer, (int) old.rawSize);
            }
            writeSectionHeader(out, image.sectionTableOffset + i * Section.HEADER_SIZE,
                    placed[i]);
        }

        int optional = image.optionalHeaderOffset;
        if ((oldResources.characteristics & Section.CONTAINS_INITIALIZED_DATA) != 0) {
            long initialized = LittleEndian.u32(out, optional + 8, "the initialized data size");
            LittleEndian.put32(out, optional + 8,
                    Math.max(0, initialized + newRawSize - oldResources.rawSize));
        }
        LittleEndian.put32(out, optional + 56, nextAddress);
        setDirectory(out, PeImage.DIRECTORY_RESOURCE, oldResources.virtualAddress,
                resourceBytes.length);
        setDirectory(out, PeImage.DIRECTORY_SECURITY, 0, 0);
        long relocations = image.directoryRva(PeImage.DIRECTORY_BASE_RELOCATION);
        int relocationSection = image.sectionIndexOf(relocations);
        if (relocations != 0 && relocationSection > resourceIndex) {
            Section old = sections.get(relocationSection);
            setDirectory(out, PeImage.DIRECTORY_BASE_RELOCATION,
                    relocations - old.virtualAddress + placed[relocationSection].virtualAddress,
                    image.directorySize(PeImage.DIRECTORY_BASE_RELOCATION));
        }
        LittleEndian.put32(out, image.checksumOffset(), 0);
        LittleEndian.put32(out, image.checksumOffset(),
                PeChecksum.compute(out, image.checksumOffset()));
        return out;
    }

    private void setDirectory(byte[] out, int index, long rva, long size) {
        if (index >= image.directoryCount) return;
        int at = image.directoryTableOffset + index * 8;
        LittleEndian.put32(out, at, rva);
        LittleEndian.put32(out, at + 4, size);
    }

    private static void writeSectionHeader(byte[] out, int at, Section section) {
        LittleEndian.put32(out, at + 8, section.virtualSize);
        LittleEndian.put32(out, at + 12, section.virtualAddress);
        LittleEndian.put32(out, at + 16, section.rawSize);
        LittleEndian.put32(out, at + 20, section.rawPointer);
    }

    private static long align(long value, long alignment) {
        return (value + alignment - 1) / alignment * alignment;
    }
}
