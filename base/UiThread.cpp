#include "base/UiThread.h"

namespace quillet {

void UiThread::Synchronize(std::function<void()> work) {
    Request request{std::move(work), {}, false};
    std::unique_lock lock(mutex_);
    queue_.push_back(&request);
    queued_.notify_one();
    Wake();
    done_.wait(lock, [&] { return request.done; });
    if (request.error) std::rethrow_exception(request.error);
}

bool UiThread::RunPending(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!queued_.wait_for(lock, wait, [&] { return !queue_.empty(); })) return false;
    while (!queue_.empty()) {
        Request* request = queue_.front();
        queue_.pop_front();
        // Unlocked while the work runs: it may open a modal loop that runs further work.
        lock.unlock();
        try {
            request->work();
        } catch (...) {
            request->error = std::current_exception();
        }
        lock.lock();
        request->done = true;
        done_.notify_all();
    }
    return true;
}

} // namespace quillet
