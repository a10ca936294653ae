// Where the process loads libraries from. A test program of its own: the DLL search path is
// process-wide, and these tests change it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/dll_search_win.h"
#include "tests/support/app_folder_win.h"

namespace base {
namespace {

const std::wstring kPlantedDll = support::windowsPathOf(PLANTED_DLL);

std::wstring modulePathOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring lowerCase(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

TEST(DllSearch, CurrentDirectoryIsSearchedUntilItIsRemoved) {
    support::AppFolder cwd(L"cwd");
    cwd.copyIn(kPlantedDll, L"jlprobe.dll");
    ASSERT_TRUE(SetCurrentDirectoryW(cwd.path().c_str()));
    {
        // The control: without the change, a DLL in the current directory is loaded by name.
        const UniqueModule before(LoadLibraryW(L"jlprobe.dll"));
        ASSERT_TRUE(before) << "error " << GetLastError();
    }
    ASSERT_TRUE(cwd.exists(L"jlprobe.dll.loaded"));
    DeleteFileW(cwd.file(L"jlprobe.dll.loaded").c_str());

    removeCurrentDirectoryFromDllSearch();
    const UniqueModule after(LoadLibraryW(L"jlprobe.dll"));
    const DWORD error = GetLastError();
    EXPECT_FALSE(after);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(cwd.exists(L"jlprobe.dll.loaded"));
    SetCurrentDirectoryW(L"C:\\");
}

TEST(DllSearch, SystemLibraryComesFromTheSystemFolder) {
    support::AppFolder cwd(L"cwd");
    cwd.copyIn(kPlantedDll, L"gdiplus.dll");
    ASSERT_TRUE(SetCurrentDirectoryW(cwd.path().c_str()));
    const UniqueModule gdiplus = loadSystemLibrary(L"gdiplus.dll");
    ASSERT_TRUE(gdiplus) << "error " << GetLastError();
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(lowerCase(modulePathOf(gdiplus.get())),
              lowerCase(std::wstring(system) + L"\\gdiplus.dll"));
    EXPECT_NE(GetProcAddress(gdiplus.get(), "GdiplusStartup"), nullptr);
    EXPECT_FALSE(cwd.exists(L"gdiplus.dll.loaded"));
    SetCurrentDirectoryW(L"C:\\");
}

TEST(DllSearch, MissingSystemLibraryKeepsTheLoadersError) {
    const UniqueModule missing = loadSystemLibrary(L"no-such-library.dll");
    const DWORD error = GetLastError();
    EXPECT_FALSE(missing);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
}  // namespace base
