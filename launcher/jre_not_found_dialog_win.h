#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "jre/java_version.h"
#include "jre/jre_pick.h"
#include "jre/jre_search.h"
#include "ui/hyperlink_control_win.h"
#include "ui/window_object_win.h"

namespace launcher {

// The modal dialog shown when no runtime was found: it says which runtime is needed, links to
// the Java download page and lets the user browse for the folder of an installed runtime. OK
// (result 1) is enabled only while the picked folder yields a JVM library for the JVM type that
// this launcher, or the paired one named by `pairProduct`, can run; a runtime for another machine
// is explained in the line above the folder box. Cancel, Esc and the close box end it with 2.
class JreNotFoundDialog final : public ui::DialogObject {
  public:
    JreNotFoundDialog(std::wstring message, jre::JvmType type, std::wstring pairProduct)
        : message_(std::move(message)), type_(type), pairProduct_(std::move(pairProduct)) {}

    // Runs the dialog modally; the EndDialog value, -1 when it cannot be shown.
    INT_PTR run(HWND owner);

    [[nodiscard]] const std::wstring& chosenFolder() const noexcept { return pick_.folder; }
    [[nodiscard]] const std::wstring& pickedLibraryPath() const noexcept {
        return pick_.jvmLibraryPath;
    }

    bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) override;

  private:
    void initialize(HWND window);
    void browse(HWND window);

    std::wstring message_;
    jre::JvmType type_;
    std::wstring pairProduct_;
    std::wstring templateHint_;  // the hint line as the template words it
    jre::JrePick pick_;
    ui::HyperlinkControl link_;
};

// The runtime the user chose in the dialog.
struct JreChoice {
    std::wstring folder;          // with its trailing backslash, as it is written back
    std::wstring jvmLibraryPath;  // the JVM library the folder yields
};

// Shows the dialog for a start that found no runtime, owned by `owner` (the active window, if
// any). nullopt when the user cancelled or the dialog could not be shown; when memory ran out
// for it, the thread's last error is ERROR_OUTOFMEMORY.
[[nodiscard]] std::optional<JreChoice> askUserForJre(jre::JvmType type,
                                                     const jre::JavaVersion& minimum,
                                                     const jre::JavaVersion& maximum,
                                                     const std::wstring& pairProduct, HWND owner);

}  // namespace launcher
