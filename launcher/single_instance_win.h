#pragma once

#include <windows.h>

#include <jni.h>

#include <cstdint>
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
// Lives as long as the process's application object; set up and torn down on the main thread.
class SingleInstance {
  public:
    enum class Role { Off, First, Second };

    struct Setup {
        std::wstring modulePath;  // the executable's full path; names every shared object
        bool wanted = false;      // the settings ask for it (never for a service)
        std::wstring mainClass;   // slash-separated
        // False when IBM runtimes are accepted or preferred: they keep attached threads.
        bool detachAfterRequest = true;
        // Where the Java main thread stores the JVM; read by workers only after the started
        // event has been signalled.
        JavaVM* const* javaVm = nullptr;
    };

    SingleInstance() = default;
    ~SingleInstance() { tearDown(); }
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Decides this process's role and, for a second instance, hands the arguments over. Any
    // failing system call turns the mode off silently (role Off). A first instance receives
    // the started event in mainStartedEvent. False only when a second instance could not hand
    // over (arguments too long, post failed): the start then fails.
    [[nodiscard]] bool setUp(const Setup& setup, const std::vector<std::wstring>& arguments,
                             base::UniqueKernelHandle& mainStartedEvent);

    [[nodiscard]] Role role() const noexcept { return role_; }

    // Second instance: waits for the first instance's answer and returns it; returns the first
    // instance's exit code when it ends without answering, 0 when it cannot be watched.
    [[nodiscard]] std::int32_t waitForAnswer() const;

    // Ends the request thread and releases the block. Workers still running are not waited for.
    void tearDown() noexcept;

  private:
    struct Request;

    [[nodiscard]] std::span<std::uint8_t> block() const noexcept;
    [[nodiscard]] bool startServing(const Setup& setup, const std::wstring& name,
                                    base::UniqueKernelHandle& mainStartedEvent);
    [[nodiscard]] bool handOver(const std::vector<std::wstring>& arguments,
                                const std::wstring& name, bool serialised);
    void turnOff() noexcept;
    DWORD serveRequests() noexcept;
    void startWorker(DWORD replyThread);
    static DWORD WINAPI requestThreadMain(void* self) noexcept;
    static DWORD WINAPI workerMain(void* request) noexcept;

    Role role_ = Role::Off;
    base::UniqueKernelHandle mapping_;
    base::UniqueMappedView view_;
    UINT messageId_ = 0;
    DWORD firstProcessId_ = 0;
    // First instance only.
    base::UniqueKernelHandle requestThread_;
    DWORD requestThreadId_ = 0;
    base::UniqueKernelHandle requestQueueReady_;
    base::UniqueKernelHandle copiedEvent_;
    HANDLE startedEvent_ = nullptr;  // owned by the caller's mainStartedEvent
    std::wstring mainClass_;
    bool detachAfterRequest_ = true;
    JavaVM* const* javaVm_ = nullptr;
};

}  // namespace launcher
