#pragma once

#include <atomic>
#include <mutex>

// The one process-wide lock held around every single call into the bridge
// library, never across two calls and never while a message is shown. It
// lives for the whole process, so windows may come and go around it.
class LibraryLock {
public:
    static LibraryLock& Instance();

    void lock();
    void unlock();

    // True while some thread holds the lock; lets a test bridge check that
    // each call arrives under the lock.
    bool IsHeld() const { return held_.load(); }

private:
    LibraryLock() = default;

    std::mutex mutex_;
    std::atomic<bool> held_{false};
};
