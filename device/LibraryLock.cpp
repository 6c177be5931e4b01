#include "device/LibraryLock.h"

LibraryLock& LibraryLock::Instance() {
    static LibraryLock lock;
    return lock;
}

void LibraryLock::lock() {
    mutex_.lock();
    held_.store(true);
}

void LibraryLock::unlock() {
    held_.store(false);
    mutex_.unlock();
}
