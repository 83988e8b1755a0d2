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

UiWorker::UiWorker(UiThread& ui, std::function<void(std::stop_token)> body)
    : ui_(ui), thread_([this, body = std::move(body)] {
          body(stop_.get_token());
          // The destructor runs hand-overs until this one tells it that the body is done.
          ui_.Synchronize([this] { ended_ = true; });
      }) {}

UiWorker::~UiWorker() {
    Stop();
    while (!ended_) ui_.RunPending(std::chrono::milliseconds(100));
    thread_.join();
}

} // namespace quillet
