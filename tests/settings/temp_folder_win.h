#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace testing_support {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path without a trailing backslash.
    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }
    [[nodiscard]] std::wstring operator/(std::wstring_view name) const;

  private:
    std::wstring path_;
};

// Replaces a file's content with the given bytes.
void writeFileBytes(const std::wstring& path, std::string_view bytes);
// A UTF-16 text as little-endian bytes, optionally after a byte-order mark.
[[nodiscard]] std::string utf16leBytes(std::wstring_view text, bool byteOrderMark);
[[nodiscard]] bool isFolder(const std::wstring& path);

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnvironmentVariable {
  public:
    ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

  private:
    std::wstring name_;
    std::wstring previous_;
    bool hadValue_ = false;
};

}  // namespace testing_support
