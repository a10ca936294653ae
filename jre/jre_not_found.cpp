#include "jre/jre_not_found.h"

#include <vector>

#include "jre/pe_image.h"
#include "resources/resource_ids.h"
#include "ui/message_format.h"

namespace jre {

std::wstring jreNotFoundMessage(JvmType type, const JavaVersion& minimum,
                                const JavaVersion& maximum,
                                const std::function<std::wstring(unsigned)>& loadString) {
    const VersionPhrase phrase = describeVersionBounds(minimum, maximum);
    const std::vector<ui::MessageArg> phraseArgs(phrase.args.begin(), phrase.args.end());
    const std::wstring phraseText = ui::formatMessage(loadString(phrase.stringId), phraseArgs);
    const unsigned messageId =
        type == JvmType::ServerOnly ? IDS_JRE_NOT_FOUND_SERVER : IDS_JRE_NOT_FOUND;
    return ui::formatMessage(loadString(messageId), {std::wstring_view(phraseText)});
}

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

std::wstring pickHint(const JrePick& pick, uint16_t launcherMachine,
                      const std::function<std::wstring(unsigned)>& loadString) {
    if (!pick.unrunnableMachine) return {};
    const std::wstring runtime = machineName(*pick.unrunnableMachine);
    const std::wstring needed = machineName(launcherMachine);
    return ui::formatMessage(loadString(IDS_JRE_OTHER_MACHINE),
                             {std::wstring_view(runtime), std::wstring_view(needed)});
}

}  // namespace jre
