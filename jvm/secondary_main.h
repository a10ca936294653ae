#pragma once

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

namespace jvm {

// What became of one hand-over from a second instance.
enum class SecondaryOutcome {
    Answered,       // secondaryMain ran and the answer was given
    NoVm,           // no JVM to call into
    AttachFailed,   // the thread could not attach
    ClassNotFound,  // FindClass failed (exception described)
    NoMethod,       // neither secondaryMain variant exists; no answer given
    ArgumentArray,  // the String[] could not be built (exception described); no answer given
    Threw,          // secondaryMain threw (described); the answer had been given already
};

struct SecondaryCall {
    std::string mainClass;  // slash-separated, in the calling thread's ANSI code page
    std::vector<std::wstring> arguments;
    // Receives the value the second instance ends with: the int secondaryMain returned (-1 when
    // it threw), or 0 for the void variant (given before the method runs, so the caller is not
    // kept waiting).
    std::function<void(jint)> answer;
    // IBM JVMs must keep their attached threads; any other JVM gets the thread detached.
    bool detachAfterwards = true;
};

// Attaches the calling thread to vm, finds the main class and calls its static
// secondaryMain(String[]), void or int, with the arguments. Safe on any thread.
[[nodiscard]] SecondaryOutcome callSecondaryMain(JavaVM* vm, const SecondaryCall& call);

}  // namespace jvm
