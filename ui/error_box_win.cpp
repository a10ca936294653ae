#include <windows.h>

#include "ui/error_box_win.h"

#include <new>
#include <vector>

namespace ui {
namespace {

// LoadStringW has no way to report a text's length, and the string table allows up to 65535
// characters: grow the buffer until the text no longer fills it.
constexpr int kFirstBufferSize = 256;
constexpr int kLargestBufferSize = 1 << 17;

MessageObserver messageObserver = nullptr;

int showFormatted(HWND owner, MessageSource format, const std::vector<MessageArg>& args) {
    try {
        const std::wstring text = formatMessage(messageText(format), args);
        noteShownMessage(text);
        return MessageBoxW(owner, text.c_str(), nullptr, MB_ICONERROR);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace

void setMessageObserver(MessageObserver observer) noexcept { messageObserver = observer; }

void noteShownMessage(std::wstring_view text) noexcept {
    if (messageObserver != nullptr) messageObserver(text);
}

std::wstring loadResourceString(UINT id) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    std::wstring buffer;
    for (int size = kFirstBufferSize; size <= kLargestBufferSize; size *= 2) {
        buffer.resize(static_cast<std::size_t>(size));
        const int length = LoadStringW(module, id, buffer.data(), size);
        if (length <= 0) return {};
        if (length < size - 1) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
    }
    return {};
}

std::wstring messageText(MessageSource source) {
    if (const auto* id = std::get_if<UINT>(&source)) return loadResourceString(*id);
    return std::wstring(std::get<std::wstring_view>(source));
}

int showErrorBox(HWND owner, MessageSource text) {
    try {
        const std::wstring message = messageText(text);
        noteShownMessage(message);
        return MessageBoxW(owner, message.c_str(), nullptr, MB_ICONERROR);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int showErrorBox(HWND owner, MessageSource format, MessageArg arg) {
    try {
        return showFormatted(owner, format, {arg});
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int showErrorBox(HWND owner, MessageSource format, MessageArg first, MessageArg second) {
    try {
        return showFormatted(owner, format, {first, second});
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace ui
