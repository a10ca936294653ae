#include "ui/message_format.h"

#include <string>

namespace ui {

std::wstring formatMessage(std::wstring_view format, const std::vector<MessageArg>& args) {
    std::wstring out;
    out.reserve(format.size());
    std::size_t nextArg = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        if (c != L'%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const wchar_t directive = format[i + 1];
        if (directive == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        if (directive != L's' && directive != L'd') {
            out += c;
            continue;
        }
        ++i;
        // Every directive takes its argument position, so one bad argument does not shift
        // the ones after it.
        const MessageArg* arg = nextArg < args.size() ? &args[nextArg] : nullptr;
        ++nextArg;
        if (directive == L's' && arg != nullptr &&
            std::holds_alternative<std::wstring_view>(*arg)) {
            out += std::get<std::wstring_view>(*arg);
        } else if (directive == L'd' && arg != nullptr && std::holds_alternative<int>(*arg)) {
            out += std::to_wstring(std::get<int>(*arg));
        } else {
            out += c;
            out += directive;
        }
    }
    return out;
}

}  // namespace ui
