#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/dialog_layout.h"

namespace ui {

// Registry value types the link colours may be stored as (winnt.h values).
inline constexpr uint32_t kRegistryString = 1;           // REG_SZ
inline constexpr uint32_t kRegistryExpandString = 2;     // REG_EXPAND_SZ
inline constexpr uint32_t kLinkColorValueMaxBytes = 24;  // 11 characters and the terminator

// A colour as Windows packs it: red + 256 * green + 65536 * blue.
using ColorValue = uint32_t;
inline constexpr ColorValue kDefaultLinkColor = 0x00FF0000;     // blue
inline constexpr ColorValue kDefaultVisitedColor = 0x00800080;  // purple

// Reads a link colour as Internet Explorer keeps it in the user's registry: a string
// "red,green,blue" of decimal numbers, each reduced to its low 8 bits. `data` is the value's raw
// bytes (UTF-16LE with its terminator). nullopt for anything that is not such a string: other
// types, more than 24 bytes, an odd length or a missing terminator, fewer than two commas, an
// empty blue part, or red or green of -1 (the mark of a missing part).
[[nodiscard]] std::optional<ColorValue> linkColorFromRegistryValue(uint32_t type,
                                                                   std::string_view data);

// How a static control aligns its text; only left, centred and right text statics are links
// that measure their text.
enum class TextAlignment { Left, Centre, Right };
[[nodiscard]] TextAlignment textAlignmentOfStaticStyle(uint32_t style) noexcept;

// Icon, rectangle, frame, owner-drawn, bitmap and metafile statics paint themselves; a link over
// one of them keeps its painting and only adds the link behaviour.
[[nodiscard]] bool staticStylePaintsText(uint32_t style) noexcept;

// The part of the control the link text covers: `measured` is the text measured from the client
// rectangle's left edge; a centred or right-aligned static moves it to where the text is drawn,
// so that the hand cursor and the click react only over the text.
[[nodiscard]] LayoutRect alignedLinkRect(const LayoutRect& client, const LayoutRect& measured,
                                         TextAlignment alignment) noexcept;

// Grey for a disabled link whatever its state, else the visited or the link colour.
[[nodiscard]] ColorValue linkTextColor(bool enabled, bool visited, ColorValue link,
                                       ColorValue visitedColor, ColorValue grey) noexcept;

}  // namespace ui
