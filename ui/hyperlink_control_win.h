#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "base/handles_win.h"
#include "ui/hyperlink.h"
#include "ui/window_object_win.h"

namespace ui {

// Turns a static text control of a dialog into a link: the text is painted underlined in the
// user's link colours, the hand cursor and a tooltip with the target show over the text, and a
// click on the text (press and release both on it) or Enter or Space while the control has the
// focus opens the target with the shell. Messages it does not take go to the static control.
class HyperlinkControl final : public WindowObject {
  public:
    HyperlinkControl() = default;

    // The control's ordinary font; the owning dialog sets it from WM_GETFONT before attach.
    [[nodiscard]] HFONT normalFont() const noexcept { return normalFont_; }
    void setNormalFont(HFONT font) noexcept { normalFont_ = font; }

    // The target when it differs from the text shown; set before attach.
    void setUrl(std::wstring url) { url_ = std::move(url); }

    // Takes over the static control (in WM_INITDIALOG of its dialog). The label is the control's
    // text and, unless one was set, also the target. False when the control cannot be subclassed;
    // it then stays a plain static text.
    bool attach(HWND control);

    // Opens the target with the shell's "open" verb; the link turns to the visited colour only
    // when the shell accepted it.
    bool navigate();

    // Recomputes the area the text covers, in client coordinates.
    void calcLinkRect();

    [[nodiscard]] const std::optional<std::wstring>& url() const noexcept { return url_; }
    [[nodiscard]] bool visited() const noexcept { return visited_; }
    [[nodiscard]] RECT linkRect() const noexcept { return linkRect_; }
    [[nodiscard]] ColorValue linkColor() const noexcept { return linkColor_; }
    [[nodiscard]] ColorValue visitedColor() const noexcept { return visitedColor_; }

    bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) override;

  private:
    void initialize(HWND control);
    void createLinkFont();
    void addToolTip(HWND control);
    void readLinkColors();
    void paint(HWND control, HDC given);
    void onSetFont(HWND control, HFONT font, bool redraw);
    void releaseResources();
    [[nodiscard]] bool isOverLink(POINT point) const noexcept;
    [[nodiscard]] const std::wstring* shownText() const noexcept;

    std::optional<std::wstring> label_;
    std::optional<std::wstring> url_;
    HCURSOR linkCursor_ = nullptr;
    HFONT linkFont_ = nullptr;
    HFONT normalFont_ = nullptr;
    // Set when the control created the font itself and deletes it.
    base::UniqueGdiObject ownedLinkFont_;
    base::UniqueGdiObject ownedNormalFont_;
    RECT linkRect_{};
    base::UniqueWindow toolTip_;
    ColorValue linkColor_ = kDefaultLinkColor;
    ColorValue visitedColor_ = kDefaultVisitedColor;
    bool paintsLabel_ = true;
    bool visited_ = false;
};

}  // namespace ui
