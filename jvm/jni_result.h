#pragma once

namespace jvm {

// The string-table id of the reason shown for a JNI_CreateJavaVM result, or 0 when the code has
// no reason text of its own (the reason is then empty).
[[nodiscard]] unsigned reasonStringForJniResult(int result) noexcept;

}  // namespace jvm
