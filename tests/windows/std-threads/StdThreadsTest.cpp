// The shim's std::mutex and std::condition_variable keep their promises
// across real threads: no increment lost under the lock, and a waiter wakes
// on the change it waits for.
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <windows.h>

namespace {

struct Shared
{
    std::mutex mutex;
    std::condition_variable changed;
    long count = 0;
    bool ready = false;
};

constexpr long kIncrements = 200000;

DWORD WINAPI increment(void *data)
{
    auto &shared = *static_cast<Shared *>(data);
    for (long i = 0; i < kIncrements; ++i) {
        const std::lock_guard<std::mutex> lock(shared.mutex);
        // Read and written apart, so that an unguarded run interleaves.
        const long seen = shared.count;
        shared.count = seen + 1;
    }
    return 0;
}

DWORD WINAPI announce(void *data)
{
    auto &shared = *static_cast<Shared *>(data);
    {
        const std::lock_guard<std::mutex> lock(shared.mutex);
        shared.ready = true;
    }
    shared.changed.notify_all();
    return 0;
}

HANDLE start(LPTHREAD_START_ROUTINE body, Shared &shared)
{
    return CreateThread(nullptr, 0, body, &shared, 0, nullptr);
}

} // namespace

TEST(StdThreads, TheMutexLosesNoIncrement)
{
    Shared shared;
    const HANDLE threads[] = {start(increment, shared), start(increment, shared)};
    ASSERT_NE(threads[0], nullptr);
    ASSERT_NE(threads[1], nullptr);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    EXPECT_EQ(shared.count, 2 * kIncrements);

    std::unique_lock<std::mutex> held(shared.mutex);
    EXPECT_FALSE(shared.mutex.try_lock());
    held.unlock();
    EXPECT_TRUE(shared.mutex.try_lock());
    shared.mutex.unlock();
}

TEST(StdThreads, AWaiterWakesOnTheChange)
{
    Shared shared;
    std::unique_lock<std::mutex> lock(shared.mutex);
    const HANDLE thread = start(announce, shared);
    ASSERT_NE(thread, nullptr);
    shared.changed.wait(lock, [&] { return shared.ready; });
    EXPECT_TRUE(shared.ready);
    EXPECT_TRUE(lock.owns_lock());
    lock.unlock();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
