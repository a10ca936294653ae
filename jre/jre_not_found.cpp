#include "jre/jre_not_found.h"

#include <vector>

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
                              const FileSystemView& files) {
    JrePick pick;
    pick.folder = chosenFolderOf(browsedPath);
    if (!pick.folder.empty()) {
        pick.jvmLibraryPath = probeJvmLibrary(pick.folder, type, files).jvmLibraryPath;
    }
    return pick;
}

}  // namespace jre
