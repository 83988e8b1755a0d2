// The main of the test programs that run under Wine. A test that hangs there would otherwise
// leave nothing to go on: ctest ends the program at its time limit, and whatever it printed
// to the pipe was still in its buffer. So output goes out unbuffered, and a test that runs
// past TestTimeLimit ends the program with its name and the windows it shows.
#include <gtest/gtest.h>
#include <windows.h>

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
constexpr std::chrono::seconds TestTimeLimit{240};

// A window's text, without waiting long for a thread that may be the one that hangs.
std::string TextOf(HWND window) {
    char text[512]{};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 1000, &copied);
    return text;
}

// What the program shows, since a hang under a window is most often a box that nobody
// answers: each visible top-level window of this process with its class, caption and, for a
// message box, its text.
void PrintShownWindows() {
    EnumWindows(
        [](HWND window, LPARAM) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
            char name[64]{};
            GetClassNameA(window, name, sizeof name);
            const HWND boxText = GetDlgItem(window, 0xFFFF);
            std::fprintf(stderr, "shown: %s \"%s\" %s\n", name, TextOf(window).c_str(),
                         boxText ? TextOf(boxText).c_str() : "");
            return TRUE;
        },
        0);
}

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
                std::fprintf(stderr, "\n%s is still running after %d s: the program ends here\n",
                             running_.c_str(), int(TestTimeLimit.count()));
                PrintShownWindows();
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
