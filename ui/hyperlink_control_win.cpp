#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "ui/hyperlink_control_win.h"

#include <array>

#include "base/system_library_win.h"
#include "ui/com_apartment_win.h"

namespace ui {
namespace {

constexpr wchar_t kLinkColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

LayoutRect toLayout(const RECT& rect) noexcept {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT toRect(const LayoutRect& rect) noexcept {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

UINT drawTextAlignment(TextAlignment alignment) noexcept {
    switch (alignment) {
        case TextAlignment::Centre:
            return DT_CENTER;
        case TextAlignment::Right:
            return DT_RIGHT;
        case TextAlignment::Left:
            break;
    }
    return 0;
}

TextAlignment alignmentOf(HWND control) noexcept {
    return textAlignmentOfStaticStyle(static_cast<uint32_t>(GetWindowLongPtrW(control, GWL_STYLE)));
}

POINT pointOf(LPARAM lParam) noexcept {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

std::wstring windowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// The tooltip control lives in comctl32, which only this control needs: its window class is
// registered on first use rather than by an import that every launch would load.
void registerToolTipClass() {
    using InitCommonControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const bool registered = [] {
        auto initialize =
            base::systemFunction<InitCommonControls>(L"comctl32.dll", "InitCommonControlsEx");
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
        return initialize != nullptr && initialize(&classes) != FALSE;
    }();
    (void)registered;
}

// The colour stored under `name`, if it is a well-formed "r,g,b" string.
std::optional<ColorValue> readColorValue(HKEY key, const wchar_t* name) {
    std::array<char, kLinkColorValueMaxBytes> data{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    // A longer value ends in ERROR_MORE_DATA and is ignored like any other malformed one.
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return linkColorFromRegistryValue(type, std::string_view(data.data(), size));
}

}  // namespace

bool HyperlinkControl::attach(HWND control) {
    if (!subclassWindow(*this, control)) return false;
    initialize(control);
    return true;
}

void HyperlinkControl::initialize(HWND control) {
    std::array<wchar_t, 8> className{};
    GetClassNameW(control, className.data(), static_cast<int>(className.size()));
    if (lstrcmpiW(className.data(), L"static") == 0) {
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        SetWindowLongPtrW(control, GWL_STYLE, style | SS_NOTIFY);
        paintsLabel_ = staticStylePaintsText(static_cast<uint32_t>(style));
    }
    linkCursor_ = LoadCursorW(nullptr, IDC_HAND);

    if (paintsLabel_) {
        if (normalFont_ == nullptr) {
            LOGFONTW iconTitleFont{};
            if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconTitleFont, &iconTitleFont,
                                      0)) {
                ownedNormalFont_.reset(CreateFontIndirectW(&iconTitleFont));
                normalFont_ = static_cast<HFONT>(ownedNormalFont_.get());
            }
        }
        if (linkFont_ == nullptr) createLinkFont();
    }

    registerToolTipClass();
    toolTip_.reset(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));

    if (!label_) {
        std::wstring text = windowTextOf(control);
        if (!text.empty()) label_ = std::move(text);
    }
    calcLinkRect();
    if (!url_ && label_) url_ = label_;
    if (url_) addToolTip(control);
    if (paintsLabel_) readLinkColors();
}

void HyperlinkControl::createLinkFont() {
    LOGFONTW font{};
    const HGDIOBJ source = normalFont_ != nullptr ? normalFont_ : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(source, sizeof font, &font) == 0) return;
    font.lfUnderline = TRUE;
    ownedLinkFont_.reset(CreateFontIndirectW(&font));
    linkFont_ = static_cast<HFONT>(ownedLinkFont_.get());
}

void HyperlinkControl::addToolTip(HWND control) {
    if (!toolTip_) return;
    SendMessageW(toolTip_.get(), TTM_ACTIVATE, TRUE, 0);
    TOOLINFOW tool{};
    tool.uId = 1;
    tool.hwnd = control;
    tool.rect = linkRect_;
    tool.lpszText = url_->data();
    tool.hinst = GetModuleHandleW(nullptr);
    // The full record is what version 6 of the common controls takes; older versions (no
    // manifest) may refuse it, and the shorter record carries everything this tool needs.
    tool.cbSize = sizeof tool;
    if (SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) == FALSE) {
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HyperlinkControl::readLinkColors() {
    // Read access only: the control never changes the user's settings.
    base::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColorKey, 0, KEY_READ,
                      reinterpret_cast<HKEY*>(key.put())) != ERROR_SUCCESS) {
        return;
    }
    if (auto color = readColorValue(key.get(), L"Anchor Color")) linkColor_ = *color;
    if (auto color = readColorValue(key.get(), L"Anchor Color Visited")) visitedColor_ = *color;
}

const std::wstring* HyperlinkControl::shownText() const noexcept {
    if (label_) return &*label_;
    return url_ ? &*url_ : nullptr;
}

void HyperlinkControl::calcLinkRect() {
    HWND control = handle();
    const std::wstring* text = shownText();
    if (control == nullptr || text == nullptr) return;
    RECT client{};
    GetClientRect(control, &client);
    RECT measured = client;
    const TextAlignment alignment = alignmentOf(control);
    if (paintsLabel_) {
        if (HDC dc = GetDC(control)) {
            const HGDIOBJ previous = linkFont_ != nullptr ? SelectObject(dc, linkFont_) : nullptr;
            DrawTextW(dc, text->c_str(), -1, &measured,
                      DT_CALCRECT | DT_WORDBREAK | drawTextAlignment(alignment));
            if (previous != nullptr) SelectObject(dc, previous);
            ReleaseDC(control, dc);
        }
    }
    linkRect_ = toRect(alignedLinkRect(toLayout(client), toLayout(measured), alignment));
}

bool HyperlinkControl::isOverLink(POINT point) const noexcept {
    return PtInRect(&linkRect_, point) != FALSE;
}

bool HyperlinkControl::navigate() {
    if (!url_) return false;
    using ShellExecute = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                                            const wchar_t*, INT);
    auto execute = base::systemFunction<ShellExecute>(L"shell32.dll", "ShellExecuteW");
    if (execute == nullptr) return false;
    HINSTANCE outcome = nullptr;
    {
        ComApartment apartment;
        outcome = execute(nullptr, L"open", url_->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    // ShellExecuteW reports success as a value above 32 in its instance-typed result.
    if (reinterpret_cast<INT_PTR>(outcome) <= 32) return false;
    visited_ = true;
    if (handle() != nullptr) InvalidateRect(handle(), nullptr, TRUE);
    return true;
}

void HyperlinkControl::paint(HWND control, HDC given) {
    PAINTSTRUCT paintInfo{};
    HDC dc = given != nullptr ? given : BeginPaint(control, &paintInfo);
    if (dc == nullptr) return;
    RECT client{};
    GetClientRect(control, &client);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(control), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(control)));
    if (brush != nullptr) FillRect(dc, &client, brush);

    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor =
        SetTextColor(dc, linkTextColor(IsWindowEnabled(control) != FALSE, visited_, linkColor_,
                                       visitedColor_, GetSysColor(COLOR_GRAYTEXT)));
    const HFONT font = linkFont_ != nullptr ? linkFont_ : normalFont_;
    const HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    if (const std::wstring* text = shownText()) {
        RECT area = linkRect_;
        DrawTextW(dc, text->c_str(), -1, &area,
                  DT_WORDBREAK | drawTextAlignment(alignmentOf(control)));
    }
    if (GetFocus() == control) DrawFocusRect(dc, &linkRect_);
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
    if (previousFont != nullptr) SelectObject(dc, previousFont);
    if (given == nullptr) EndPaint(control, &paintInfo);
}

void HyperlinkControl::onSetFont(HWND control, HFONT font, bool redraw) {
    ownedNormalFont_.reset();
    normalFont_ = font;
    if (ownedLinkFont_) {
        ownedLinkFont_.reset();
        linkFont_ = nullptr;
        createLinkFont();
    }
    calcLinkRect();
    if (redraw) {
        InvalidateRect(control, nullptr, TRUE);
        UpdateWindow(control);
    }
}

void HyperlinkControl::releaseResources() {
    // The tooltip belongs to the dialog's window tree too and may be gone already; its handle
    // must not be destroyed a second time.
    if (!IsWindow(toolTip_.get())) (void)toolTip_.release();
    toolTip_.reset();
    if (ownedLinkFont_) linkFont_ = nullptr;
    if (ownedNormalFont_) normalFont_ = nullptr;
    ownedLinkFont_.reset();
    ownedNormalFont_.reset();
}

bool HyperlinkControl::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result) {
    result = 0;
    if (message == WM_DESTROY) {
        releaseResources();
        return false;
    }
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && toolTip_) {
        MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(toolTip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
        case WM_ERASEBKGND:
            // Painting fills the background itself.
            result = 1;
            return true;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            if (!paintsLabel_) return false;
            paint(window, message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (!paintsLabel_) return false;
            InvalidateRect(window, nullptr, TRUE);
            return true;
        case WM_MOUSEMOVE:
            if (!url_ || !isOverLink(pointOf(lParam))) return false;
            SetCursor(linkCursor_);
            return true;
        case WM_LBUTTONDOWN:
            if (isOverLink(pointOf(lParam))) {
                SetFocus(window);
                SetCapture(window);
            }
            return true;
        case WM_LBUTTONUP:
            if (GetCapture() == window) {
                ReleaseCapture();
                if (isOverLink(pointOf(lParam))) navigate();
            }
            return true;
        case WM_MOUSELEAVE:
        case WM_UPDATEUISTATE:
            return true;
        case WM_CHAR:
            if (wParam == L'\r' || wParam == L' ') navigate();
            return true;
        case WM_GETDLGCODE: {
            result = DLGC_WANTCHARS;
            // The dialog manager keeps Enter for the default button unless the focused control
            // asks for the key; a focused link opens on Enter as it does on Space.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
                result |= DLGC_WANTMESSAGE;
            }
            return true;
        }
        case WM_SETCURSOR: {
            POINT cursor{};
            if (!url_ || !GetCursorPos(&cursor) || !ScreenToClient(window, &cursor) ||
                !isOverLink(cursor)) {
                return false;
            }
            result = TRUE;
            return true;
        }
        case WM_ENABLE:
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            return true;
        case WM_GETFONT:
            result = reinterpret_cast<LRESULT>(normalFont_);
            return true;
        case WM_SETFONT:
            onSetFont(window, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
            return true;
        case WM_SIZE:
            calcLinkRect();
            InvalidateRect(window, nullptr, TRUE);
            return true;
        default:
            return false;
    }
}

}  // namespace ui
