#pragma once

#include <windows.h>

#include <jni.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/handles_win.h"

namespace launcher {

// Lets a second start of the same executable hand its arguments to the running first one,
// whose secondaryMain answers; the second then ends with that answer.
//
// The first start creates a named mapping (the shared block), a registered message, the
// "started" event and a request thread that starts one worker per hand-over. Starts serialise
// their set-up and hand-over on a named mutex, and the request thread copies each hand-over's
// arguments before the next start may overwrite them, so concurrent second starts never mix
// arguments. Copies of the launcher that know nothing of the mutex still meet this one through
// the block, the message and the event alone.
//
// A block whose first instance has gone (its request thread takes no post, its process has
// ended) is taken over: that start becomes the first instance. The request thread and the
// workers share only reference-counted state with this object, so none of them touches a
// handle or a field that the teardown has already released.
//
// Lives as long as the process's application object; set up and torn down on the main thread.
class SingleInstance {
  public:
    enum class Role { Off, First, Second };

    struct Setup {
        std::wstring executablePath;  // the executable's full path; names every shared object
        bool wanted = false;          // the settings ask for it (never for a service)
        std::wstring mainClass;       // slash-separated
        // False when IBM runtimes are accepted or preferred: they keep attached threads.
        bool detachAfterRequest = true;
    };

    SingleInstance() = default;
    ~SingleInstance() { tearDown(); }
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Decides this process's role and, for a second instance, hands the arguments over. Any
    // failing system call turns the mode off silently (role Off). A first instance receives
    // the started event in mainStartedEvent. False only when a second instance could not hand
    // over its arguments (too long): the start then fails.
    [[nodiscard]] bool setUp(const Setup& setup, const std::vector<std::wstring>& arguments,
                             base::UniqueKernelHandle& mainStartedEvent);

    [[nodiscard]] Role role() const noexcept { return role_; }

    // First instance, on the Java main thread just before the started event is signalled: the
    // machine the workers call into.
    void publishJavaVm(JavaVM* vm) noexcept;

    // Second instance: waits for the first instance's answer and returns it; returns the first
    // instance's exit code when it ends without answering, 0 when it cannot be watched.
    // nullopt when the first instance stopped serving before it called secondaryMain: this
    // start is then to go on as a first start.
    [[nodiscard]] std::optional<std::int32_t> waitForAnswer() const;

    // Ends the request thread and releases the block. Workers still running are not waited for
    // and serve nothing more. With startAfresh (this process hands the launch over to another
    // executable), second starts waiting for an answer are told to go on as first starts.
    void tearDown(bool startAfresh = false) noexcept;

  private:
    struct Serving;
    struct Request;
    enum class HandOverResult { Posted, TooLong, FirstGone };

    [[nodiscard]] std::span<std::uint8_t> block() const noexcept;
    [[nodiscard]] bool startServing(const Setup& setup, base::UniqueKernelHandle& mainStartedEvent);
    [[nodiscard]] HandOverResult handOver(const std::vector<std::wstring>& arguments,
                                          bool serialised);
    void turnOff() noexcept;
    void stopServing(bool startAfresh) noexcept;
    static DWORD WINAPI requestThreadMain(void* serving) noexcept;
    static DWORD WINAPI workerMain(void* request) noexcept;

    Role role_ = Role::Off;
    std::wstring name_;  // instanceName
    base::UniqueKernelHandle mapping_;
    base::UniqueMappedView view_;
    UINT messageId_ = 0;
    // Second instance: the first instance's process, watched while waiting for the answer.
    base::UniqueKernelHandle firstProcess_;
    // First instance: what the request thread and the workers share with this object.
    std::shared_ptr<Serving> serving_;
    base::UniqueKernelHandle requestThread_;
    DWORD requestThreadId_ = 0;
};

}  // namespace launcher
