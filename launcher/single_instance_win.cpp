#include <windows.h>

#include "launcher/single_instance_win.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>

#include "base/ansi_win.h"
#include "jvm/secondary_main.h"
#include "launcher/single_instance.h"
#include "launcher/single_instance_serving_win.h"

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

namespace {

bool signalled(HANDLE handle) { return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

base::UniqueKernelHandle duplicated(HANDLE handle) {
    HANDLE copy = nullptr;
    if (handle) {
        DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    }
    return base::UniqueKernelHandle(copy);
}

}  // namespace

std::span<std::uint8_t> SingleInstance::block() const noexcept {
    return {static_cast<std::uint8_t*>(view_.get()), si::kBlockSize};
}

bool SingleInstance::setUp(const Setup& setup, const std::vector<std::wstring>& arguments,
                           base::UniqueKernelHandle& mainStartedEvent) {
    if (!setup.wanted) return true;
    name_ = si::instanceName(setup.executablePath);

    // Held until this start has either made the block usable or handed its arguments over, so
    // no one reads a half-made block and no two hand-overs share the argument area.
    const HandOverLock lock(si::handOverMutexName(name_));

    HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                           static_cast<DWORD>(si::kBlockSize), si::mappingName(name_).c_str());
    const bool first = GetLastError() != ERROR_ALREADY_EXISTS;
    mapping_.reset(mapping);
    if (!mapping_) return true;
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!view_) {
        turnOff();
        return true;
    }
    if (!first) {
        switch (handOver(arguments, lock.owned())) {
            case HandOverResult::Posted:
                role_ = Role::Second;
                return true;
            case HandOverResult::TooLong:
                role_ = Role::Second;
                return false;
            case HandOverResult::FirstGone:
                // The block outlived its first instance (a waiting second start still holds
                // it): this start takes it over.
                firstProcess_.reset();
                break;
        }
    }
    if (startServing(setup, mainStartedEvent)) {
        role_ = Role::First;
    } else {
        turnOff();
    }
    return true;
}

bool SingleInstance::startServing(const Setup& setup, base::UniqueKernelHandle& mainStartedEvent) {
    auto serving = std::make_shared<Serving>();
    // Without the event workers do not wait (a wait on a null handle fails at once).
    mainStartedEvent.reset(CreateEventW(nullptr, TRUE, FALSE, si::startedEventName(name_).c_str()));
    // An event left behind by a first instance that has gone may still be signalled.
    if (mainStartedEvent && GetLastError() == ERROR_ALREADY_EXISTS) {
        ResetEvent(mainStartedEvent.get());
    }
    serving->started = duplicated(mainStartedEvent.get());
    serving->stopped.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!serving->stopped) return false;
    serving->mainClass = setup.mainClass;
    serving->detachAfterRequest = setup.detachAfterRequest;
    serving->block = static_cast<std::uint8_t*>(view_.get());

    messageId_ = RegisterWindowMessageW(si::messageName(name_).c_str());
    if (messageId_ == 0) return false;
    serving->messageId = messageId_;
    // Without it second instances just do not wait for their arguments to be copied.
    serving->copied.reset(CreateEventW(nullptr, FALSE, FALSE, si::copiedEventName(name_).c_str()));
    si::writeField(block(), si::kMessageIdOffset, messageId_);
    si::writeField(block(), si::kProcessIdOffset, GetCurrentProcessId());

    serving->queueReady.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // The thread owns one reference of its own, handed over through the heap.
    auto threadShare = std::make_unique<std::shared_ptr<Serving>>(serving);
    requestThread_.reset(CreateThread(nullptr, 0, &SingleInstance::requestThreadMain,
                                      threadShare.get(), 0, &requestThreadId_));
    if (!requestThread_) return false;
    (void)threadShare.release();
    serving_ = std::move(serving);
    si::writeField(block(), si::kRequestThreadIdOffset, requestThreadId_);
    // A post to a thread without a queue fails; second instances may post as soon as the lock
    // is released.
    if (serving_->queueReady) WaitForSingleObject(serving_->queueReady.get(), kQueueReadyWaitMs);
    return true;
}

SingleInstance::HandOverResult SingleInstance::handOver(const std::vector<std::wstring>& arguments,
                                                        bool serialised) {
    const auto shared = block();
    const DWORD requestThread = si::readField(shared, si::kRequestThreadIdOffset);
    messageId_ = si::readField(shared, si::kMessageIdOffset);
    const DWORD firstProcessId = si::readField(shared, si::kProcessIdOffset);

    // A first instance that has ended leaves its block behind for as long as a second start
    // that waited on it still runs. Watching the process by handle also survives the reuse
    // of its id once it has ended.
    firstProcess_.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, firstProcessId));
    if (!firstProcess_) {
        // Access denied means a process runs there; any other failure, that none does.
        if (GetLastError() != ERROR_ACCESS_DENIED) return HandOverResult::FirstGone;
    } else if (signalled(firstProcess_.get())) {
        return HandOverResult::FirstGone;
    }

    const auto area = si::encodeArguments(arguments);
    if (!area) return HandOverResult::TooLong;
    // The answer comes as a message to this thread.
    ensureMessageQueue();
    base::UniqueKernelHandle copied;
    if (serialised) {
        copied.reset(OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE,
                                si::copiedEventName(name_).c_str()));
        if (copied) ResetEvent(copied.get());
    }
    std::copy(area->begin(), area->end(), shared.begin() + si::kArgumentAreaOffset);
    // A request thread that has ended (its process handed the launch over, or is ending)
    // takes no post.
    if (!PostThreadMessageW(requestThread, messageId_, GetCurrentThreadId(), 0)) {
        return HandOverResult::FirstGone;
    }

    // Keep the lock (and the area) until the first instance has its copy. A first instance
    // without the copied event is an older launcher that does not signal it.
    if (copied) {
        const HANDLE waits[] = {copied.get(), firstProcess_.get()};
        WaitForMultipleObjects(firstProcess_ ? 2 : 1, waits, FALSE, kCopyWaitMs);
    }
    return HandOverResult::Posted;
}

void SingleInstance::turnOff() noexcept {
    stopServing(false);
    role_ = Role::Off;
    view_.reset();
    // A mapping left open would make later starts hand over to a first instance that never
    // serves them.
    mapping_.reset();
}

void SingleInstance::publishJavaVm(JavaVM* vm) noexcept {
    if (serving_) serving_->vm.store(vm);
}

DWORD WINAPI SingleInstance::requestThreadMain(void* parameter) noexcept {
    const std::unique_ptr<std::shared_ptr<Serving>> share(
        static_cast<std::shared_ptr<Serving>*>(parameter));
    Serving& serving = **share;
    ensureMessageQueue();
    if (serving.queueReady) SetEvent(serving.queueReady.get());
    MSG message;
    // GetMessageW gives -1 on failure: that ends the loop like WM_QUIT.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message != serving.messageId) continue;
        const auto replyThread = static_cast<DWORD>(message.wParam);
        try {
            auto request = std::make_unique<Request>();
            request->serving = *share;
            request->replyThread = replyThread;
            request->arguments =
                si::decodeArguments(std::span<const std::uint8_t>(serving.block, si::kBlockSize)
                                        .subspan(si::kArgumentAreaOffset));
            serving.addPending(replyThread);
            // The worker's handle is not kept: nobody waits for workers.
            base::UniqueKernelHandle worker(
                CreateThread(nullptr, 0, &SingleInstance::workerMain, request.get(), 0, nullptr));
            if (worker) {
                (void)request.release();
            } else {
                (void)serving.takePending(replyThread);
            }
        } catch (...) {
            // Out of memory: this hand-over gets no answer; its sender waits for our end.
        }
        if (serving.copied) SetEvent(serving.copied.get());
    }
    return 0;
}

DWORD WINAPI SingleInstance::workerMain(void* parameter) noexcept {
    const std::unique_ptr<Request> request(static_cast<Request*>(parameter));
    const Serving& serving = *request->serving;
    try {
        // No request is served before the program's main method runs, nor once this process
        // has stopped serving (the machine may be gone, or the launch handed over).
        if (serving.started) {
            const HANDLE waits[] = {serving.stopped.get(), serving.started.get()};
            WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        }
        if (signalled(serving.stopped.get())) return 1;
        if (!request->serving->takePending(request->replyThread)) return 1;

        jvm::SecondaryCall call;
        call.mainClass = base::toThreadAnsi(serving.mainClass);
        call.arguments = std::move(request->arguments);
        call.detachAfterwards = serving.detachAfterRequest;
        const DWORD replyThread = request->replyThread;
        const UINT messageId = serving.messageId;
        call.answer = [replyThread, messageId](jint value) {
            PostThreadMessageW(replyThread, messageId, static_cast<WPARAM>(value), 0);
        };
        return jvm::callSecondaryMain(serving.vm.load(), call) == jvm::SecondaryOutcome::Answered
                   ? 0
                   : 1;
    } catch (...) {
        return 1;
    }
}

std::optional<std::int32_t> SingleInstance::waitForAnswer() const {
    if (!firstProcess_) return 0;
    // Takes every waiting message; other messages are dropped.
    const auto replyWaiting = [this](MSG& reply) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == messageId_) {
                reply = message;
                return true;
            }
        }
        return false;
    };
    const auto answerOf = [](const MSG& reply) -> std::optional<std::int32_t> {
        if (static_cast<std::uint32_t>(reply.lParam) == si::kStartAfreshReply) return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(reply.wParam));
    };
    const HANDLE first = firstProcess_.get();
    for (MSG reply{};;) {
        if (replyWaiting(reply)) return answerOf(reply);
        // Wakes for a posted message or the first instance's end, whatever its exit code.
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &first, INFINITE, QS_ALLPOSTMESSAGE, 0);
        if (woken == WAIT_OBJECT_0 + 1) continue;
        // An answer posted just before the first instance ended still counts.
        if (replyWaiting(reply)) return answerOf(reply);
        DWORD exitCode = 0;
        if (woken != WAIT_OBJECT_0 || !GetExitCodeProcess(first, &exitCode)) return 0;
        return static_cast<std::int32_t>(exitCode);
    }
}

void SingleInstance::stopServing(bool startAfresh) noexcept {
    if (!serving_) return;
    // While a start holds the hand-over lock it may be posting to the request thread; taking
    // it first means every post either reached the thread before it ends or fails, and a
    // failed post makes that start a first start.
    std::optional<HandOverLock> lock;
    if (startAfresh) {
        try {
            lock.emplace(si::handOverMutexName(name_));
        } catch (...) {
        }
    }
    bool ended = true;
    if (requestThread_) {
        ended = false;
        for (int round = 0; round < kQuitRounds && !ended; ++round) {
            // Posted again each round: a post before the thread had its queue is lost.
            PostThreadMessageW(requestThreadId_, WM_QUIT, 0, 0);
            ended = WaitForSingleObject(requestThread_.get(), kQuitWaitMs) != WAIT_TIMEOUT;
        }
        requestThread_.reset();
    }
    for (const DWORD replyThread : serving_->takeAllPending()) {
        if (startAfresh) {
            PostThreadMessageW(replyThread, messageId_, static_cast<WPARAM>(si::kStartAfreshAnswer),
                               static_cast<LPARAM>(si::kStartAfreshReply));
        }
    }
    serving_->vm.store(nullptr);
    SetEvent(serving_->stopped.get());
    // A request thread that would not end may still read the block: leave it mapped.
    if (!ended) (void)view_.release();
    serving_.reset();
}

void SingleInstance::tearDown(bool startAfresh) noexcept {
    stopServing(startAfresh);
    firstProcess_.reset();
    view_.reset();
    mapping_.reset();
    role_ = Role::Off;
}

}  // namespace launcher
