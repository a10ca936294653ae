#pragma once

#include <atomic>

namespace splash {

// Holds a function (the runtime splash library's close entry) that runs at most once: when it
// is reset, replaced by a different one, or the holder is destroyed. The exchange is atomic, so
// the main thread's reset and the JVM's exit hook on another thread never both call it.
class OneShotCall {
  public:
    using Function = void (*)();

    OneShotCall() = default;
    OneShotCall(const OneShotCall&) = delete;
    OneShotCall& operator=(const OneShotCall&) = delete;
    ~OneShotCall() { reset(); }

    // Storing a different function first calls the one held; storing the held one again
    // changes nothing, so it still runs only once.
    void set(Function function) noexcept {
        if (function_.load() == function) return;
        callIfHeld(function_.exchange(function));
    }

    // Calls the held function, if any, and forgets it.
    void reset() noexcept { callIfHeld(function_.exchange(nullptr)); }

    // Forgets the held function without calling it.
    void forget() noexcept { function_.store(nullptr); }

    [[nodiscard]] bool holds() const noexcept { return function_.load() != nullptr; }

  private:
    static void callIfHeld(Function function) noexcept {
        if (function != nullptr) function();
    }

    std::atomic<Function> function_{nullptr};
};

}  // namespace splash
