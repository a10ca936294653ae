#pragma once

// The first instance's shared state: what its request thread and the workers that serve each
// second start hold between them.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "launcher/single_instance_win.h"

namespace launcher {

// What the first instance shares with its request thread and workers. Each of them holds a
// reference, so its handles stay open for as long as any of them may wait on them.
struct SingleInstance::Serving {
    UINT messageId = 0;
    // The shared block; left mapped when the request thread would not end.
    std::uint8_t* block = nullptr;
    base::UniqueKernelHandle started;  // a duplicate of the caller's started event
    base::UniqueKernelHandle stopped;  // manual reset: this process serves no more requests
    base::UniqueKernelHandle copied;
    base::UniqueKernelHandle queueReady;
    std::wstring mainClass;
    bool detachAfterRequest = true;
    std::atomic<JavaVM*> vm = nullptr;
    // Reply threads of the hand-overs received and not yet being served; a teardown that hands
    // the launch over tells each of them to start afresh.
    SRWLOCK pendingLock = SRWLOCK_INIT;
    std::vector<DWORD> pending;

    void addPending(DWORD replyThread) {
        AcquireSRWLockExclusive(&pendingLock);
        try {
            pending.push_back(replyThread);
        } catch (...) {
            ReleaseSRWLockExclusive(&pendingLock);
            throw;
        }
        ReleaseSRWLockExclusive(&pendingLock);
    }
    // False when the teardown has taken the request already.
    bool takePending(DWORD replyThread) noexcept {
        AcquireSRWLockExclusive(&pendingLock);
        const auto at = std::find(pending.begin(), pending.end(), replyThread);
        const bool found = at != pending.end();
        if (found) pending.erase(at);
        ReleaseSRWLockExclusive(&pendingLock);
        return found;
    }
    std::vector<DWORD> takeAllPending() noexcept {
        AcquireSRWLockExclusive(&pendingLock);
        std::vector<DWORD> all;
        all.swap(pending);
        ReleaseSRWLockExclusive(&pendingLock);
        return all;
    }
};

// One hand-over, copied out of the block when its message arrived. The worker owns it.
struct SingleInstance::Request {
    std::shared_ptr<Serving> serving;
    DWORD replyThread = 0;
    std::vector<std::wstring> arguments;
};

}  // namespace launcher
