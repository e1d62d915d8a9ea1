#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Runs work on a thread of its own and waits for it at most timeout. Work
// that has not returned by then gives nothing and is left to end on its own:
// a system call on a dead network mount may not return for a long time, and
// the windows must not wait for it.
template <typename T>
std::optional<T> callWithin(std::function<std::optional<T>()> work,
                            std::chrono::milliseconds timeout) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::optional<T> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        std::optional<T> result = work();
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->finished = true;
        shared->done.notify_one();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, timeout, [&shared] { return shared->finished; })) {
        return std::nullopt;
    }
    return std::move(shared->result);
}
