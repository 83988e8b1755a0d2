// Starts programs and times each from its start to its first input-idle moment
// (WaitForInputIdle), then reads its working set and ends it with WM_QUIT. The programs take
// turns, run after run, so that a machine whose speed drifts slows them alike; each gets its
// median, and its ratio to the first program, the yardstick.
//
//   startup_probe <runs> [<label>=]<program.exe>...
//
// Prints one line per program: its label, median milliseconds, ratio, the fastest run (what
// the start costs when nothing else on the machine gets in the way), median working set.
//
// While it runs, the probe shows an icon of its own in the notification area: on Windows that
// area always holds icons, and a program that adds one should not pay for Wine setting up an
// empty one.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
    double milliseconds;
    double workingSetMB;
};

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / frequency;
}

HANDLE Nul(DWORD access) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                       OPEN_EXISTING, 0, nullptr);
}

bool Measure(const std::string& program, Sample& sample) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Nul(GENERIC_READ);
    startup.hStdOutput = startup.hStdError = Nul(GENERIC_WRITE);
    std::string commandLine = '"' + program + '"';
    PROCESS_INFORMATION started{};
    const double start = Now();
    const bool ok = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                   nullptr, nullptr, &startup, &started);
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    if (!ok) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return false;
    }
    const DWORD idle = WaitForInputIdle(started.hProcess, 120000);
    sample.milliseconds = Now() - start;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(started.hProcess, &memory, sizeof memory);
    sample.workingSetMB = double(memory.WorkingSetSize) / (1024.0 * 1024.0);

    // The next run of the same program must find this one gone (a single-instance program
    // would refuse to start).
    PostThreadMessageA(started.dwThreadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(started.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, 30000);
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    // What the desktop does after a program ends (its icon gone from the tray, its windows
    // from the screen) must not fall into the next one's start.
    Sleep(300);
    if (idle != 0) {
        std::fprintf(stderr, "%s never went idle\n", program.c_str());
        return false;
    }
    return true;
}

// An icon in the notification area for as long as it lives, reporting to a hidden window.
class TrayIcon {
public:
    TrayIcon() {
        data_.cbSize = sizeof data_;
        data_.hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     nullptr, nullptr);
        data_.uID = 1;
        data_.uFlags = NIF_ICON | NIF_TIP;
        data_.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        lstrcpyA(data_.szTip, "startup_probe");
        Shell_NotifyIconA(NIM_ADD, &data_);
    }
    ~TrayIcon() {
        Shell_NotifyIconA(NIM_DELETE, &data_);
        DestroyWindow(data_.hWnd);
    }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

private:
    NOTIFYICONDATAA data_{};
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_probe <runs> [<label>=]<program.exe>...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<std::string> labels, programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        labels.push_back(argument.substr(0, equals));
        programs.push_back(equals == std::string::npos ? argument : argument.substr(equals + 1));
    }
    const TrayIcon neighbour;
    std::vector<std::vector<double>> times(programs.size()), memory(programs.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            // Wine under load now and then refuses a start: up to three tries.
            Sample sample;
            int tries = 0;
            while (!Measure(programs[p], sample))
                if (++tries == 3) return 1;
            times[p].push_back(sample.milliseconds);
            memory[p].push_back(sample.workingSetMB);
        }
    }
    const double yardstick = Median(times[0]);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const double median = Median(times[p]);
        std::printf("%-28s %8.1f ms %6.2fx   fastest %7.1f ms %6.2fx %7.1f MB\n", labels[p].c_str(),
                    median, median / yardstick, Fastest(times[p]),
                    Fastest(times[p]) / Fastest(times[0]), Median(memory[p]));
    }
    return 0;
}
