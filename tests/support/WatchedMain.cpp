// The main of the test programs that run under Wine. A test that hangs there would otherwise
// leave nothing to go on: ctest ends the program at its time limit, and whatever it printed
// to the pipe was still in its buffer. So output goes out unbuffered, and a test that runs
// past TestTimeLimit ends the program with its name.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

// Far beyond any single test (the longest wait for a reminder's minute), well within the
// time limit of any ctest entry.
constexpr auto TestTimeLimit = std::chrono::minutes(4);

class Watchdog : public testing::EmptyTestEventListener {
public:
    Watchdog() : thread_([this] { Watch(); }) {}
    ~Watchdog() override {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void OnTestStart(const testing::TestInfo& test) override {
        std::lock_guard lock(mutex_);
        running_ = std::string(test.test_suite_name()) + "." + test.name();
        deadline_ = std::chrono::steady_clock::now() + TestTimeLimit;
        changed_.notify_all();
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::lock_guard lock(mutex_);
        running_.clear();
        changed_.notify_all();
    }

private:
    void Watch() {
        std::unique_lock lock(mutex_);
        while (!ending_) {
            if (running_.empty()) {
                changed_.wait(lock);
            } else if (std::chrono::steady_clock::now() < deadline_) {
                changed_.wait_until(lock, deadline_);
            } else {
                std::fprintf(stderr, "\n%s is still running after %d minutes: the program ends here\n",
                             running_.c_str(),
                             static_cast<int>(std::chrono::duration_cast<std::chrono::minutes>(
                                                  TestTimeLimit)
                                                  .count()));
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::string running_; // empty between tests
    std::chrono::steady_clock::time_point deadline_;
    bool ending_ = false;
    std::thread thread_; // last: starts once everything above is ready
};

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    Watchdog watchdog;
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    listeners.Append(&watchdog);
    const int result = RUN_ALL_TESTS();
    listeners.Release(&watchdog); // gtest would delete it otherwise
    return result;
}
