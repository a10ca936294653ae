#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where runtimes are looked for besides "JRE Path" and the application's own folder: the
// registry, and the runtimes a user has without any key naming them (zip installs, package
// managers), found through JAVA_HOME, the Path or the vendors' usual installation folders.
namespace jre {

enum class RuntimeSource : uint8_t { Registry, JavaHome, Path, VendorFolders };

// All sources, in the order their runtimes are listed when nothing else is set. The registry
// comes first so that a runtime it shares a rank with keeps winning as it did before the other
// sources existed.
inline constexpr std::array kDefaultRuntimeSources{RuntimeSource::Registry, RuntimeSource::JavaHome,
                                                   RuntimeSource::Path,
                                                   RuntimeSource::VendorFolders};

// The setting's word for a source.
[[nodiscard]] std::wstring_view runtimeSourceName(RuntimeSource source) noexcept;

// "Runtime Sources": words separated by ";" or ",", in any case, each used once in the order
// given; unknown words are passed over. A value without any known word (empty included) gives
// the default order.
[[nodiscard]] std::vector<RuntimeSource> runtimeSourcesFromSetting(std::wstring_view value);

// A folder below a program folder that a vendor installs its runtimes in, one runtime per
// subfolder. `namePrefix`, when set, picks the runtimes out of a folder shared with other
// software (compared ignoring case).
struct VendorInstallFolder {
    std::wstring_view below;
    std::wstring_view namePrefix = L"";
};

// Add a vendor here: nothing else needs to know about it. Kind and "VM Provider" class come from
// each runtime folder itself.
inline constexpr std::array kVendorInstallFolders{
    VendorInstallFolder{L"Java"},
    VendorInstallFolder{L"Eclipse Adoptium"},
    VendorInstallFolder{L"Eclipse Foundation"},
    VendorInstallFolder{L"AdoptOpenJDK"},
    VendorInstallFolder{L"Microsoft", L"jdk"},
    VendorInstallFolder{L"Zulu"},
    VendorInstallFolder{L"Amazon Corretto"},
    VendorInstallFolder{L"BellSoft"},
    VendorInstallFolder{L"Semeru"},
    VendorInstallFolder{L"SapMachine\\JDK"},
    VendorInstallFolder{L"SapMachine\\JRE"},
};

// Environment variables and folder listings as the sources see them.
class SourceEnvironment {
  public:
    virtual ~SourceEnvironment() = default;
    // nullopt when the variable is not set.
    [[nodiscard]] virtual std::optional<std::wstring> variable(std::wstring_view name) const = 0;
    // The names of the folders directly inside `folder` ("." and ".." left out), in listing
    // order; empty when it cannot be listed.
    [[nodiscard]] virtual std::vector<std::wstring> subfolderNames(
        std::wstring_view folder) const = 0;
};

// An environment with nothing set and no folders.
class EmptySourceEnvironment final : public SourceEnvironment {
  public:
    [[nodiscard]] std::optional<std::wstring> variable(std::wstring_view) const override {
        return std::nullopt;
    }
    [[nodiscard]] std::vector<std::wstring> subfolderNames(std::wstring_view) const override {
        return {};
    }
};

// A drive-letter path ("C:\...", "C:/...") or a UNC one. Relative entries would make the search
// depend on the current folder, which it never does.
[[nodiscard]] bool isAbsoluteFolder(std::wstring_view path) noexcept;

// A folder as a variable or Path entry names it, in the form candidates are compared in:
// surrounding blanks and one pair of quotes removed, "/" read as "\", one trailing backslash.
// Empty when it is not absolute.
[[nodiscard]] std::wstring sourceFolder(std::wstring_view text);

// The entries of a Path value, split at ";" except inside double quotes (an entry may be
// quoted because it holds a ";"), each in sourceFolder form; empty and relative entries are
// left out.
[[nodiscard]] std::vector<std::wstring> pathEntries(std::wstring_view pathValue);

// Whether `path` lies in `folder` (both in sourceFolder form, letter case ignored); never in an
// empty one.
[[nodiscard]] bool isWithinFolder(std::wstring_view path, std::wstring_view folder);

// The folder above a "bin" folder that holds java.exe: "C:\jdk\bin\" gives "C:\jdk\". Empty for
// a drive or share root, which has no parent.
[[nodiscard]] std::wstring parentFolder(std::wstring_view folder);

// The program folders the vendor folders are looked for in, each once (letter case ignored):
// %ProgramW6432%, %ProgramFiles(x86)%, %ProgramFiles% (a 32-bit process sees the x86 folder
// under that name, a 32-bit system has only it) and %LOCALAPPDATA%\Programs.
[[nodiscard]] std::vector<std::wstring> programFolders(const SourceEnvironment& environment);

// What a look-up of a file found. A missing folder is told apart so that the Path, whose entries
// often name folders long gone, costs one look-up for each of them.
enum class FileLookup : uint8_t { Found, NotFound, NoFolder };

// One runtime folder a source names, in sourceFolder form.
struct SourceFolder {
    std::wstring folder;
    RuntimeSource source;
};

// The folders the non-registry sources in `sources` name, in source order: JAVA_HOME then
// JDK_HOME; the parent of the first Path entry holding java.exe or javaw.exe (`lookUpFile`
// tells), entries in the Windows folder passed over; each subfolder of each vendor folder in each
// program folder. A folder may appear more than once; the search counts it once.
template <typename LookUpFile>
[[nodiscard]] std::vector<SourceFolder> sourceFolders(const std::vector<RuntimeSource>& sources,
                                                      const SourceEnvironment& environment,
                                                      LookUpFile lookUpFile);

// The subfolders of `folder` that `vendor` accepts.
[[nodiscard]] bool isVendorRuntimeName(const VendorInstallFolder& vendor, std::wstring_view name);

template <typename LookUpFile>
std::vector<SourceFolder> sourceFolders(const std::vector<RuntimeSource>& sources,
                                        const SourceEnvironment& environment,
                                        LookUpFile lookUpFile) {
    std::vector<SourceFolder> found;
    for (const RuntimeSource source : sources) {
        switch (source) {
            case RuntimeSource::Registry:
                break;
            case RuntimeSource::JavaHome:
                for (const std::wstring_view name : {L"JAVA_HOME", L"JDK_HOME"}) {
                    const auto value = environment.variable(name);
                    std::wstring folder = value ? sourceFolder(*value) : std::wstring();
                    if (!folder.empty()) found.push_back({std::move(folder), source});
                }
                break;
            case RuntimeSource::Path: {
                const auto value = environment.variable(L"Path");
                if (!value) break;
                // A java.exe in the Windows folder is a copy an old installer left, or a stub
                // that runs a registered runtime: its parent is never a runtime's folder. And
                // under Wine a look-up in the system folders, thousands of files, is costly.
                const auto systemRoot = environment.variable(L"SystemRoot");
                const std::wstring windows = systemRoot ? sourceFolder(*systemRoot) : L"";
                for (const std::wstring& entry : pathEntries(*value)) {
                    if (isWithinFolder(entry, windows)) continue;
                    const FileLookup java = lookUpFile(entry + L"java.exe");
                    if (java == FileLookup::NoFolder) continue;
                    if (java != FileLookup::Found &&
                        lookUpFile(entry + L"javaw.exe") != FileLookup::Found) {
                        continue;
                    }
                    // The first java.exe is the one the user runs; only it counts.
                    std::wstring home = parentFolder(entry);
                    if (!home.empty()) found.push_back({std::move(home), source});
                    break;
                }
                break;
            }
            case RuntimeSource::VendorFolders:
                for (const std::wstring& programs : programFolders(environment)) {
                    for (const VendorInstallFolder& vendor : kVendorInstallFolders) {
                        const std::wstring parent = programs + std::wstring(vendor.below) + L"\\";
                        for (const std::wstring& name : environment.subfolderNames(parent)) {
                            if (!isVendorRuntimeName(vendor, name)) continue;
                            found.push_back({parent + name + L"\\", source});
                        }
                    }
                }
                break;
        }
    }
    return found;
}

}  // namespace jre
