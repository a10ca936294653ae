#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jre/jre_search.h"

namespace jre {

// The folder the user picked in the folder browser, as it is remembered: with one trailing
// backslash (a drive root keeps its own); empty stays empty.
[[nodiscard]] std::wstring chosenFolderOf(std::wstring_view browsedPath);

// A runtime folder picked by the user and the JVM library it yields for the dialog's JVM type.
// Only a pick with a library that can run may be confirmed: a later pick without one replaces an
// earlier good one, so an unusable folder can never be confirmed and written back.
struct JrePick {
    std::wstring folder;          // ends in a backslash once set
    std::wstring jvmLibraryPath;  // empty when the folder holds no library for the type
    // The library's machine when it is built for another machine than the launcher's and no
    // paired launcher can take it over: loading it would fail on this and every later start.
    std::optional<uint16_t> unrunnableMachine;

    [[nodiscard]] bool confirmable() const noexcept {
        return !jvmLibraryPath.empty() && !unrunnableMachine;
    }
};

// What a folder picked in the browser gives: no version bounds apply and "bin\java.dll" is not
// required, so any folder with a JVM library of the right type will do, as long as this launcher
// or its pair (`pairProduct`, empty when there is none) can run it.
[[nodiscard]] JrePick pickFromBrowsedFolder(std::wstring_view browsedPath, JvmType type,
                                            const FileSystemView& files, uint16_t launcherMachine,
                                            std::wstring_view pairProduct);

}  // namespace jre
