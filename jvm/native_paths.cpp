#include "jvm/native_paths.h"

#include "base/path.h"

namespace jvm {

namespace {
void appendSeparatorIfMissing(std::wstring& text) {
    if (!text.ends_with(L';')) text += L';';
}
}  // namespace

std::wstring jreHomeFolder(std::wstring_view jvmLibraryPath) {
    return base::folderPrefixOf(base::folderOf(jvmLibraryPath, 2));
}

std::wstring composeLibraryPath(std::wstring_view libraryPath, std::wstring_view executableFolder,
                                std::wstring_view jvmLibraryPath, const ExpandEnvironment& expand) {
    std::wstring head(libraryPath);
    appendSeparatorIfMissing(head);
    head += executableFolder;
    head += L";.;%Path%";
    // The separator before the lib folder depends on how the Path ends, so it is decided
    // after expansion.
    std::wstring composed = expand(head);
    appendSeparatorIfMissing(composed);
    composed += expand(jreHomeFolder(jvmLibraryPath) + L"lib");
    return composed;
}

std::wstring searchPathTemplate(std::wstring_view systemPath, std::wstring_view jvmLibraryPath) {
    std::wstring path(systemPath);
    if (!path.empty()) appendSeparatorIfMissing(path);
    path += L"%Path%;";
    path += base::folderOf(jvmLibraryPath, 2);
    return path;
}

}  // namespace jvm
