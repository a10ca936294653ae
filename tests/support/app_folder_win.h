#pragma once

#include <string>
#include <string_view>
#include <vector>

// A throw-away application folder for one end-to-end test: the launcher under a name of the
// test's choice, its settings file, a fake JVM and its scenario; removed again at the end.
namespace support {

enum class FakeJvm {
    Full,        // fakejvm.dll: the whole invocation API
    NoLauncher,  // fakejvm_nolauncher.dll: no JVM_FindClassFromBootLoader
    NoCreate,    // fakejvm_nocreate.dll: no JNI_CreateJavaVM
};

// Full Windows path of a fake JVM build of this tree (same bitness as the test).
[[nodiscard]] std::wstring fakeJvmPath(FakeJvm variant);

// A path of the build host as Wine sees it: "/x/y" becomes "Z:\x\y"; Windows paths stay.
[[nodiscard]] std::wstring windowsPathOf(std::string_view hostPath);

enum class TextEncoding { Utf16WithBom, Ansi, Utf8 };

class AppFolder {
  public:
    // Creates %TEMP%\jl-<tag>-<process id>-<counter>\. Throws std::runtime_error on failure.
    explicit AppFolder(std::wstring_view tag = L"app");
    ~AppFolder();
    AppFolder(const AppFolder&) = delete;
    AppFolder& operator=(const AppFolder&) = delete;

    // The folder, with a trailing backslash.
    [[nodiscard]] const std::wstring& path() const { return path_; }
    // path() + relative.
    [[nodiscard]] std::wstring file(std::wstring_view relative) const;

    // Copies a file into the folder (creating the folders on the way); returns the new path.
    std::wstring copyIn(const std::wstring& source, std::wstring_view relative);
    // Writes a file, creating the folders on the way; returns its path. Throws on failure.
    std::wstring writeBytes(std::wstring_view relative, std::string_view bytes);
    std::wstring writeText(std::wstring_view relative, std::wstring_view text,
                           TextEncoding encoding = TextEncoding::Utf16WithBom);
    [[nodiscard]] bool exists(std::wstring_view relative) const;
    // The file's bytes; empty when it cannot be read.
    [[nodiscard]] std::string readBytes(std::wstring_view relative) const;

    // Places a fake JVM at relativeDll (e.g. jre\bin\client\jvm.dll) and, when markRuntime,
    // the "bin\java.dll" marker of the runtime folder two levels above the DLL's folder.
    std::wstring installJvm(FakeJvm variant,
                            std::wstring_view relativeDll = L"jre\\bin\\client\\jvm.dll",
                            bool markRuntime = true);
    // Writes fakejvm.scenario (UTF-8) beside the DLL at relativeDll.
    void writeScenario(std::string_view utf8Text,
                       std::wstring_view relativeDll = L"jre\\bin\\client\\jvm.dll");
    // The lines of fakejvm.record beside the DLL (UTF-8, line ends removed); empty if none.
    [[nodiscard]] std::vector<std::string> readRecord(
        std::wstring_view relativeDll = L"jre\\bin\\client\\jvm.dll") const;
    void clearRecord(std::wstring_view relativeDll = L"jre\\bin\\client\\jvm.dll");

    // Leaves the folder on disk (for looking at a failed test).
    void keep() { keep_ = true; }

  private:
    std::wstring path_;
    bool keep_ = false;
};

// Removes a folder and everything in it; retries for a while, since a process that just ended
// may still hold its files. True when it is gone.
bool removeTree(const std::wstring& folder);

}  // namespace support
