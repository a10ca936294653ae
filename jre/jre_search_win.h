#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jre/jre_search.h"

namespace jre {

// The file system through FindFirstFileW; library images read through a read-only mapping.
class WindowsFileSystem final : public FileSystemView {
  public:
    [[nodiscard]] bool fileExists(std::wstring_view path) const override;
    [[nodiscard]] FileLookup lookUpFile(std::wstring_view path) const override;
    [[nodiscard]] std::optional<uint16_t> imageMachine(std::wstring_view path) const override;
    [[nodiscard]] std::optional<std::string> readFileStart(std::wstring_view path,
                                                           size_t maxBytes) const override;
};

// The vendors' keys under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER. `prefix` is put before
// every key path; only tests set it, to keep their keys apart from real installations.
class WindowsRegistry final : public RegistryReader {
  public:
    explicit WindowsRegistry(std::wstring prefix = {}) : prefix_(std::move(prefix)) {}
    [[nodiscard]] std::optional<std::vector<std::wstring>> subkeyNames(
        RegistryRoot root, std::wstring_view keyPath, RegistryView view) const override;
    [[nodiscard]] std::optional<std::wstring> textValue(RegistryRoot root,
                                                        std::wstring_view keyPath,
                                                        std::wstring_view subkey,
                                                        std::wstring_view valueName,
                                                        RegistryView view) const override;

  private:
    std::wstring prefix_;
};

// The process's environment variables; folders listed through FindFirstFileExW.
class WindowsSourceEnvironment final : public SourceEnvironment {
  public:
    [[nodiscard]] std::optional<std::wstring> variable(std::wstring_view name) const override;
    [[nodiscard]] std::vector<std::wstring> subfolderNames(std::wstring_view folder) const override;
};

// The machine this launcher is built for, and whether a second registry view exists for it.
[[nodiscard]] LauncherPlatform thisLauncherPlatform() noexcept;

// The search over the real file system and registry.
// `trace`, when given, is told the verdict on every runtime looked at.
[[nodiscard]] JreSearchResult findJre(const JreSearchSettings& settings,
                                      std::wstring_view executableFolder,
                                      SearchTrace* trace = nullptr);
[[nodiscard]] ProbeResult probeJvmLibrary(std::wstring_view folder, JvmType type);
[[nodiscard]] bool isJreFolder(std::wstring_view folder);

// The bitness check: true when a pair product is configured and the library is an image built
// for another machine than this launcher.
[[nodiscard]] bool needsPairForLibrary(std::wstring_view jvmLibraryPath,
                                       std::wstring_view pairProduct);

}  // namespace jre
