#include "jre/jre_pick.h"

#include "jre/pe_image.h"

namespace jre {

std::wstring chosenFolderOf(std::wstring_view browsedPath) {
    // An empty path names no folder; a lone backslash would name the current drive's root.
    if (browsedPath.empty()) return {};
    return withTrailingBackslash(browsedPath);
}

JrePick pickFromBrowsedFolder(std::wstring_view browsedPath, JvmType type,
                              const FileSystemView& files, uint16_t launcherMachine,
                              std::wstring_view pairProduct) {
    JrePick pick;
    pick.folder = chosenFolderOf(browsedPath);
    if (pick.folder.empty()) return pick;
    pick.jvmLibraryPath = probeJvmLibrary(pick.folder, type, files).jvmLibraryPath;
    if (pick.jvmLibraryPath.empty()) return pick;
    const auto machine = files.imageMachine(pick.jvmLibraryPath);
    if (!canRunLibrary(machine, pairProduct, launcherMachine)) pick.unrunnableMachine = machine;
    return pick;
}

}  // namespace jre
