#pragma once

namespace fakejvm {

// When the environment variable FAKEJVM_PROBE_LOOK is set, records what a Java GUI toolkit in
// this process would find: the library that implements the "Button" class ("look
// buttons=comctl32.dll" with Common Controls 6, "user32.dll" without) and the process's DPI
// awareness as the JVM queries it ("look dpi=<unaware|system|per-monitor|unknown>"). Off by
// default: creating a window costs time.
void recordLookIfAsked() noexcept;

}  // namespace fakejvm
