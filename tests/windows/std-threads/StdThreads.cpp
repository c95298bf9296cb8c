// The shim's std::mutex and std::condition_variable on Windows' slim
// reader/writer locks and condition variables, whose zero value is their
// initial state, so that both stay constexpr-constructible as the standard
// requires.
#include <condition_variable>
#include <mutex>

#ifndef _GLIBCXX_HAS_GTHREADS
#include <windows.h>

namespace std {

static_assert(sizeof(SRWLOCK) == sizeof(void *) && sizeof(CONDITION_VARIABLE) == sizeof(void *));

namespace {

PSRWLOCK srw(void **lock) noexcept
{
    return reinterpret_cast<PSRWLOCK>(lock);
}

} // namespace

void mutex::lock() noexcept
{
    AcquireSRWLockExclusive(srw(&lock_));
}

bool mutex::try_lock() noexcept
{
    return TryAcquireSRWLockExclusive(srw(&lock_)) != 0;
}

void mutex::unlock() noexcept
{
    ReleaseSRWLockExclusive(srw(&lock_));
}

void condition_variable::notify_one() noexcept
{
    WakeConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&waiting_));
}

void condition_variable::notify_all() noexcept
{
    WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&waiting_));
}

void condition_variable::wait(unique_lock<mutex> &lock) noexcept
{
    SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&waiting_),
                              srw(lock.mutex()->native_handle()), INFINITE, 0);
}

} // namespace std
#endif
