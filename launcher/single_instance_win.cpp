#include <windows.h>

#include "launcher/single_instance_win.h"

#include <algorithm>
#include <memory>

#include "base/ansi_win.h"
#include "jvm/secondary_main.h"
#include "launcher/single_instance.h"

namespace launcher {

namespace si = single_instance;

namespace {

// Every holder of the hand-over mutex lets go within moments; a start that still cannot have it
// after this long (a holder suspended in a debugger) goes on without it.
constexpr DWORD kLockWaitMs = 30000;
// How long a second instance waits for the first to copy its arguments.
constexpr DWORD kCopyWaitMs = 10000;
constexpr DWORD kQueueReadyWaitMs = 5000;
// The teardown's wait for the request thread: per round, and rounds before giving up.
constexpr DWORD kQuitWaitMs = 100;
constexpr int kQuitRounds = 100;
constexpr DWORD kAnswerPollMs = 100;

// The named mutex that serialises set-up and hand-over between starts of one executable. An
// abandoned mutex (its holder died) is taken over like a released one.
class HandOverLock {
  public:
    explicit HandOverLock(const std::wstring& name)
        : mutex_(CreateMutexW(nullptr, FALSE, name.c_str())) {
        if (!mutex_) return;
        const DWORD result = WaitForSingleObject(mutex_.get(), kLockWaitMs);
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~HandOverLock() {
        if (owned_) ReleaseMutex(mutex_.get());
    }
    HandOverLock(const HandOverLock&) = delete;
    HandOverLock& operator=(const HandOverLock&) = delete;

    [[nodiscard]] bool owned() const noexcept { return owned_; }

  private:
    base::UniqueKernelHandle mutex_;
    bool owned_ = false;
};

// A thread receives posted messages only once it has a message queue, which its first call
// to a message function creates.
void ensureMessageQueue() {
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

}  // namespace

// One hand-over, copied out of the block when its message arrived. The worker owns it.
struct SingleInstance::Request {
    DWORD replyThread = 0;
    UINT messageId = 0;
    std::vector<std::wstring> arguments;
    HANDLE startedEvent = nullptr;
    std::wstring mainClass;
    bool detachAfterwards = true;
    JavaVM* const* javaVm = nullptr;
};

std::span<std::uint8_t> SingleInstance::block() const noexcept {
    return {static_cast<std::uint8_t*>(view_.get()), si::kBlockSize};
}

bool SingleInstance::setUp(const Setup& setup, const std::vector<std::wstring>& arguments,
                           base::UniqueKernelHandle& mainStartedEvent) {
    if (!setup.wanted) return true;
    const std::wstring name = si::instanceName(setup.modulePath);

    // Held until this start has either made the block usable or handed its arguments over, so
    // no one reads a half-made block and no two hand-overs share the argument area.
    const HandOverLock lock(si::handOverMutexName(name));

    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(si::kBlockSize), name.c_str());
    const bool first = GetLastError() != ERROR_ALREADY_EXISTS;
    mapping_.reset(mapping);
    if (!mapping_) return true;
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!view_) {
        turnOff();
        return true;
    }
    if (first) {
        if (startServing(setup, name, mainStartedEvent)) {
            role_ = Role::First;
        } else {
            turnOff();
        }
        return true;
    }
    role_ = Role::Second;
    return handOver(arguments, name, lock.owned());
}

bool SingleInstance::startServing(const Setup& setup, const std::wstring& name,
                                  base::UniqueKernelHandle& mainStartedEvent) {
    // Without the event workers do not wait (a wait on a null handle fails at once).
    mainStartedEvent.reset(CreateEventW(nullptr, TRUE, FALSE, si::startedEventName(name).c_str()));
    startedEvent_ = mainStartedEvent.get();
    mainClass_ = setup.mainClass;
    detachAfterRequest_ = setup.detachAfterRequest;
    javaVm_ = setup.javaVm;

    messageId_ = RegisterWindowMessageW(name.c_str());
    if (messageId_ == 0) return false;
    // Without it second instances just do not wait for their arguments to be copied.
    copiedEvent_.reset(CreateEventW(nullptr, FALSE, FALSE, si::copiedEventName(name).c_str()));
    firstProcessId_ = GetCurrentProcessId();
    si::writeField(block(), si::kMessageIdOffset, messageId_);
    si::writeField(block(), si::kProcessIdOffset, firstProcessId_);

    requestQueueReady_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    requestThread_.reset(
        CreateThread(nullptr, 0, &SingleInstance::requestThreadMain, this, 0, &requestThreadId_));
    if (!requestThread_) return false;
    si::writeField(block(), si::kRequestThreadIdOffset, requestThreadId_);
    // A post to a thread without a queue fails; second instances may post as soon as the lock
    // is released.
    if (requestQueueReady_) WaitForSingleObject(requestQueueReady_.get(), kQueueReadyWaitMs);
    return true;
}

bool SingleInstance::handOver(const std::vector<std::wstring>& arguments, const std::wstring& name,
                              bool serialised) {
    const auto area = si::encodeArguments(arguments);
    if (!area) return false;
    const auto shared = block();
    const DWORD requestThread = si::readField(shared, si::kRequestThreadIdOffset);
    messageId_ = si::readField(shared, si::kMessageIdOffset);
    firstProcessId_ = si::readField(shared, si::kProcessIdOffset);

    // The answer comes as a message to this thread.
    ensureMessageQueue();
    base::UniqueKernelHandle copied;
    if (serialised) {
        copied.reset(
            OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, si::copiedEventName(name).c_str()));
        if (copied) ResetEvent(copied.get());
    }
    std::copy(area->begin(), area->end(), shared.begin() + si::kArgumentAreaOffset);
    if (!PostThreadMessageW(requestThread, messageId_, GetCurrentThreadId(), 0)) return false;

    // Keep the lock (and the area) until the first instance has its copy. A first instance
    // without the copied event is an older launcher that does not signal it.
    if (copied) {
        base::UniqueKernelHandle firstProcess(OpenProcess(SYNCHRONIZE, FALSE, firstProcessId_));
        const HANDLE waits[] = {copied.get(), firstProcess.get()};
        WaitForMultipleObjects(firstProcess ? 2 : 1, waits, FALSE, kCopyWaitMs);
    }
    return true;
}

void SingleInstance::turnOff() noexcept {
    role_ = Role::Off;
    requestThread_.reset();
    view_.reset();
    // A mapping left open would make later starts hand over to a first instance that never
    // serves them.
    mapping_.reset();
}

DWORD WINAPI SingleInstance::requestThreadMain(void* self) noexcept {
    return static_cast<SingleInstance*>(self)->serveRequests();
}

DWORD SingleInstance::serveRequests() noexcept {
    ensureMessageQueue();
    if (requestQueueReady_) SetEvent(requestQueueReady_.get());
    MSG message;
    // GetMessageW gives -1 on failure: that ends the loop like WM_QUIT.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message != messageId_) continue;
        try {
            startWorker(static_cast<DWORD>(message.wParam));
        } catch (...) {
            // Out of memory: this hand-over gets no answer; its sender waits for our end.
        }
        if (copiedEvent_) SetEvent(copiedEvent_.get());
    }
    return 0;
}

void SingleInstance::startWorker(DWORD replyThread) {
    auto request = std::make_unique<Request>();
    request->replyThread = replyThread;
    request->messageId = messageId_;
    const auto shared = block();
    request->arguments = si::decodeArguments(shared.subspan(si::kArgumentAreaOffset));
    request->startedEvent = startedEvent_;
    request->mainClass = mainClass_;
    request->detachAfterwards = detachAfterRequest_;
    request->javaVm = javaVm_;
    // The worker's handle is not kept: nobody waits for workers.
    base::UniqueKernelHandle worker(
        CreateThread(nullptr, 0, &SingleInstance::workerMain, request.get(), 0, nullptr));
    if (worker) (void)request.release();
}

DWORD WINAPI SingleInstance::workerMain(void* parameter) noexcept {
    const std::unique_ptr<Request> request(static_cast<Request*>(parameter));
    try {
        // No request is served before the program's main method runs.
        WaitForSingleObject(request->startedEvent, INFINITE);
        jvm::SecondaryCall call;
        call.mainClass = base::toThreadAnsi(request->mainClass);
        call.arguments = std::move(request->arguments);
        call.detachAfterwards = request->detachAfterwards;
        const DWORD replyThread = request->replyThread;
        const UINT messageId = request->messageId;
        call.answer = [replyThread, messageId](jint value) {
            PostThreadMessageW(replyThread, messageId, static_cast<WPARAM>(value), 0);
        };
        JavaVM* const vm = request->javaVm != nullptr ? *request->javaVm : nullptr;
        return jvm::callSecondaryMain(vm, call) == jvm::SecondaryOutcome::Answered ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

std::int32_t SingleInstance::waitForAnswer() const {
    base::UniqueKernelHandle first(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, firstProcessId_));
    if (!first) return 0;
    // Takes every waiting message; other messages are dropped.
    const auto answerWaiting = [this](std::int32_t& answer) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == messageId_) {
                answer = static_cast<std::int32_t>(static_cast<std::uint32_t>(message.wParam));
                return true;
            }
        }
        return false;
    };
    for (std::int32_t answer = 0;;) {
        if (answerWaiting(answer)) return answer;
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(first.get(), &exitCode)) return 0;
        if (exitCode != STILL_ACTIVE) {
            // An answer posted just before the first instance ended still counts.
            return answerWaiting(answer) ? answer : static_cast<std::int32_t>(exitCode);
        }
        Sleep(kAnswerPollMs);
    }
}

void SingleInstance::tearDown() noexcept {
    if (requestThread_) {
        bool ended = false;
        for (int round = 0; round < kQuitRounds && !ended; ++round) {
            // Posted again each round: a post before the thread had its queue is lost.
            PostThreadMessageW(requestThreadId_, WM_QUIT, 0, 0);
            ended = WaitForSingleObject(requestThread_.get(), kQuitWaitMs) != WAIT_TIMEOUT;
        }
        requestThread_.reset();
        // A request thread that would not end may still read the block: leave it mapped.
        if (!ended) (void)view_.release();
    }
    view_.reset();
    mapping_.reset();
    role_ = Role::Off;
}

}  // namespace launcher
