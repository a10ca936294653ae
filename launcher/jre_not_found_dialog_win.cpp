#include <windows.h>

#include <shlobj.h>

#include "launcher/jre_not_found_dialog_win.h"

#include <memory>
#include <new>

#include "base/system_library_win.h"
#include "jre/jre_search_win.h"
#include "launcher/jre_not_found.h"
#include "resources/resource_ids.h"
#include "ui/center_window_win.h"
#include "ui/com_apartment_win.h"
#include "ui/error_box_win.h"

namespace launcher {
namespace {

// File-system folders only, the resizable new-style browser, no button for making a folder.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;

// The shell's item list, freed with the task allocator as the shell requires.
struct ItemListDeleter {
    void operator()(ITEMIDLIST* list) const noexcept {
        using Free = void(WINAPI*)(void*);
        if (auto free = base::systemFunction<Free>(L"ole32.dll", "CoTaskMemFree")) free(list);
    }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListDeleter>;

// The file-system path of a shell item list. SHGetPathFromIDListW, which every shell has, stops
// at MAX_PATH; only a folder deeper than that is named through SHGetNameFromIDList, which
// allocates the name (Wine's 32-bit shell gives it back empty for ordinary folders).
std::optional<std::wstring> pathOfItemList(PCIDLIST_ABSOLUTE list) {
    using NameOf = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, SIGDN, PWSTR*);
    using PathOf = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, wchar_t*);
    using Free = void(WINAPI*)(void*);
    auto pathOf = base::systemFunction<PathOf>(L"shell32.dll", "SHGetPathFromIDListW");
    wchar_t path[MAX_PATH] = {};
    if (pathOf != nullptr && pathOf(list, path) && path[0] != L'\0') return std::wstring(path);
    auto nameOf = base::systemFunction<NameOf>(L"shell32.dll", "SHGetNameFromIDList");
    auto free = base::systemFunction<Free>(L"ole32.dll", "CoTaskMemFree");
    wchar_t* name = nullptr;
    if (nameOf == nullptr || free == nullptr || FAILED(nameOf(list, SIGDN_FILESYSPATH, &name)) ||
        name == nullptr) {
        return std::nullopt;
    }
    std::wstring longPath(name);
    free(name);
    if (longPath.empty()) return std::nullopt;
    return longPath;
}

// The folder the user picks in the shell's folder browser, owned by `owner`; nullopt when the
// user cancels or the shell cannot name the folder. shell32 is loaded only for this.
std::optional<std::wstring> browseForFolder(HWND owner, const std::wstring& title) {
    using Browse = PIDLIST_ABSOLUTE(WINAPI*)(BROWSEINFOW*);
    auto browse = base::systemFunction<Browse>(L"shell32.dll", "SHBrowseForFolderW");
    if (browse == nullptr) return std::nullopt;

    ui::ComApartment apartment;
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = kBrowseFlags;
    UniqueItemList picked(browse(&info));
    if (!picked) return std::nullopt;
    return pathOfItemList(picked.get());
}

std::wstring controlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

INT_PTR JreNotFoundDialog::run(HWND owner) {
    return ui::runModalDialog(*this, IDD_JRE_NOT_FOUND, owner);
}

void JreNotFoundDialog::initialize(HWND window) {
    HWND linkControl = GetDlgItem(window, IDC_DOWNLOAD_LINK);
    if (link_.normalFont() == nullptr) {
        link_.setNormalFont(reinterpret_cast<HFONT>(SendMessageW(linkControl, WM_GETFONT, 0, 0)));
    }
    link_.setUrl(L"" JAVA_DOWNLOAD_URL);
    link_.attach(linkControl);
    SetDlgItemTextW(window, IDC_MESSAGE_TEXT, message_.c_str());
    templateHint_ = controlText(window, IDC_BROWSE_HINT);
    EnableWindow(GetDlgItem(window, IDOK), FALSE);
    ui::centerWindow(window);
}

void JreNotFoundDialog::browse(HWND window) {
    const auto path = browseForFolder(window, ui::loadResourceString(IDS_BROWSE_FOR_JRE));
    if (!path) return;
    SetDlgItemTextW(window, IDC_JRE_PATH_EDIT, path->c_str());
    const uint16_t machine = jre::thisLauncherPlatform().machine;
    pick_ =
        jre::pickFromBrowsedFolder(*path, type_, jre::WindowsFileSystem(), machine, pairProduct_);
    EnableWindow(GetDlgItem(window, IDOK), pick_.confirmable() ? TRUE : FALSE);
    const std::wstring hint =
        pickHint(pick_, machine, [](unsigned id) { return ui::loadResourceString(id); });
    SetDlgItemTextW(window, IDC_BROWSE_HINT, hint.empty() ? templateHint_.c_str() : hint.c_str());
}

bool JreNotFoundDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/,
                                      LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_INITDIALOG:
            initialize(window);
            // 0: the dialog manager leaves the focus alone.
            return true;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    // The button is disabled without a usable pick; a WM_COMMAND sent to the
                    // dialog directly must not confirm one either.
                    if (pick_.confirmable()) EndDialog(window, IDOK);
                    return true;
                case IDCANCEL:
                    EndDialog(window, IDCANCEL);
                    return true;
                case IDC_BROWSE:
                    browse(window);
                    return true;
                default:
                    return false;
            }
        default:
            return false;
    }
}

std::optional<JreChoice> askUserForJre(jre::JvmType type, const jre::JavaVersion& minimum,
                                       const jre::JavaVersion& maximum,
                                       const std::wstring& pairProduct, HWND owner) {
    try {
        const std::wstring message = jreNotFoundMessage(
            type, minimum, maximum, [](unsigned id) { return ui::loadResourceString(id); });
        JreNotFoundDialog dialog(message, type, pairProduct);
        if (dialog.run(owner) != IDOK) return std::nullopt;
        return JreChoice{dialog.chosenFolder(), dialog.pickedLibraryPath()};
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_OUTOFMEMORY);
        return std::nullopt;
    }
}

}  // namespace launcher
