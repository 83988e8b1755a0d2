#pragma once
// Hands work from worker threads over to the user-interface thread, which owns every window
// and all program data. The worker blocks until its work has run there, so nothing needs a
// lock beyond this queue.
//
// The platform's part is Wake(): it tells the user-interface thread that work is waiting in
// a way that every message loop notices, modal ones included; that thread then calls
// RunPending(). The object must outlive every worker that hands work over.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace quillet {

class UiThread {
public:
    virtual ~UiThread() = default;

    // Worker side, never on the user-interface thread itself: runs work there and returns
    // once it has run. An exception that the work throws is thrown here again.
    void Synchronize(std::function<void()> work);

    // User-interface side: runs all work handed over so far. When none is waiting, first waits
    // up to `wait` for some. Whether anything ran.
    bool RunPending(std::chrono::milliseconds wait = {});

protected:
    // Called on the worker thread once work is queued, before any of it can run. Must not
    // block or call back into this object.
    virtual void Wake() {}

private:
    struct Request {
        std::function<void()> work;
        std::exception_ptr error;
        bool done = false;
    };

    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable done_;
    std::deque<Request*> queue_;
};

// A worker thread that hands work over to the user-interface thread, and that this thread may
// end at any moment, even while the worker waits for it: ending asks the body to stop (its
// stop token says so, and every wait on a condition_variable_any with that token ends), runs
// what the worker hands over meanwhile until the body has returned, and joins it. The worker
// and its owner are created, used and destroyed on the user-interface thread.
class UiWorker {
public:
    // Starts body on a thread of its own. The UiThread must outlive this object.
    UiWorker(UiThread& ui, std::function<void(std::stop_token)> body);
    // Stops the body and ends the worker as above.
    ~UiWorker();
    UiWorker(const UiWorker&) = delete;
    UiWorker& operator=(const UiWorker&) = delete;

    // Asks the body to stop, and returns at once.
    void Stop() { stop_.request_stop(); }
    // The body has returned and its last hand-over has run: the worker is as good as gone.
    bool Ended() const { return ended_; }
    std::thread& Thread() { return thread_; }

private:
    UiThread& ui_;
    std::stop_source stop_;
    bool ended_ = false; // user-interface thread only
    std::thread thread_; // last: starts once everything above is ready
};

} // namespace quillet
