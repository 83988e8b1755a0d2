#include "Harness.h"

#include "tests/support/TaskbarEntry.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quillet::e2e {

namespace {

std::wstring Wide(std::string_view utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()),
                                                wide.data(), int(wide.size()))));
    return wide;
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(Wide(utf8));
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

// QUILLET_EXE holds the Unix path of the built program; Wine shows the Unix root as Z:.
std::string BuiltExePath() {
    const char* unixPath = std::getenv("QUILLET_EXE");
    if (!unixPath || !*unixPath) throw std::runtime_error("QUILLET_EXE is not set");
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

Handle OpenNul(DWORD access) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    Handle nul(CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                           OPEN_EXISTING, 0, nullptr));
    if (nul.get() == INVALID_HANDLE_VALUE) Fail("cannot open NUL");
    return nul;
}

// A SYSTEMTIME in the memory of the program that owns a window; freed at the end.
class RemoteSystemTime {
public:
    explicit RemoteSystemTime(HWND window) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = Handle(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                      FALSE, processId));
        if (!process_.get()) Fail("cannot open the program's process");
        address_ = VirtualAllocEx(process_.get(), nullptr, sizeof(SYSTEMTIME),
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!address_) Fail("cannot allocate in the program");
    }
    ~RemoteSystemTime() { VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE); }
    RemoteSystemTime(const RemoteSystemTime&) = delete;
    RemoteSystemTime& operator=(const RemoteSystemTime&) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    void Write(const SYSTEMTIME& value) const {
        if (!WriteProcessMemory(process_.get(), address_, &value, sizeof value, nullptr))
            Fail("cannot write into the program");
    }
    SYSTEMTIME Read() const {
        SYSTEMTIME value{};
        if (!ReadProcessMemory(process_.get(), address_, &value, sizeof value, nullptr))
            Fail("cannot read from the program");
        return value;
    }

private:
    Handle process_;
    void* address_ = nullptr;
};

} // namespace

std::string Utf8(std::wstring_view wide) {
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()),
                                                utf8.data(), int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

AppFolderCopy::AppFolderCopy(const std::string& nameEnd) {
    wchar_t temp[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, temp)) Fail("no temp folder");
    const std::string prefix =
        Utf8(temp) + "quillet-e2e-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int n = 1;; ++n) {
        std::string folder = prefix + std::to_string(n) + nameEnd;
        if (CreateDirectoryW(Wide(folder).c_str(), nullptr)) {
            folder_ = folder + "\\";
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) Fail("cannot create " + folder);
    }
    if (!CopyFileW(Wide(BuiltExePath()).c_str(), Wide(ExePath()).c_str(), TRUE))
        Fail("cannot copy " + BuiltExePath() + " to " + folder_);
}

AppFolderCopy::~AppFolderCopy() {
    for (const std::string& name : FileNames()) DeleteFileW(Wide(folder_ + name).c_str());
    RemoveDirectoryW(Wide(folder_).c_str());
}

std::vector<std::string> AppFolderCopy::FileNames() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Utf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

Process::Process(const std::string& exePath) {
    Handle input = OpenNul(GENERIC_READ), output = OpenNul(GENERIC_WRITE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = startup.hStdError = output.get();
    std::wstring commandLine = Wide('"' + exePath + '"');
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(Wide(exePath).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                        nullptr, nullptr, &startup, &started))
        Fail("cannot start " + exePath);
    CloseHandle(started.hThread);
    process_ = Handle(started.hProcess);
    id_ = started.dwProcessId;
}

Process::~Process() {
    if (!process_.get() || !Running()) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), DefaultTimeout.count());
}

bool Process::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(milliseconds timeout) const {
    if (WaitForSingleObject(process_.get(), timeout.count()) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code;
    if (!GetExitCodeProcess(process_.get(), &code)) Fail("no exit code");
    return code;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const std::string& className,
                                  const std::optional<std::string>& title) {
    struct Search {
        DWORD processId;
        const std::string& className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search.processId && ClassName(window) == search.className)
                search.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    // Titles are read out here, where the program's windows may answer; one that has gone
    // since it was listed is not found.
    if (title) std::erase_if(search.found, [&](HWND window) { return TextOf(window) != *title; });
    return search.found;
}

HWND WaitForWindow(DWORD processId, const std::string& className,
                   const std::optional<std::string>& title, milliseconds timeout) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            auto found = TopLevelWindows(processId, className, title);
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeout);
    return window;
}

HWND WaitForShownWindow(DWORD processId, const std::string& className, const std::string& title) {
    HWND shown = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(processId, className, title))
            if (IsVisible(window)) shown = window;
        return shown != nullptr;
    });
    return shown;
}

// WM_GETTEXT, unlike GetWindowTextW, also reads the text of another process's controls;
// the timeout keeps a hung program from hanging the test. In UTF-16, so nothing is lost.
std::optional<std::string> TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied))
        return std::nullopt;
    text.resize(copied);
    return Utf8(text);
}

std::string WindowText(HWND window) {
    const auto text = TextOf(window);
    if (!text) Fail("no answer to WM_GETTEXT");
    return *text;
}

std::string ClassName(HWND window) {
    char name[256];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::vector<Child> Children(HWND parent) {
    struct Search {
        HWND parent;
        std::vector<Child> found;
    } search{parent, {}};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            if (GetParent(window) == search.parent)
                search.found.push_back({window, GetDlgCtrlID(window), ClassName(window)});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressButton(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void AskToClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

bool IsVisible(HWND window) {
    return IsWindowVisible(window);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool CentredOnScreen(const RECT& rect) {
    return rect.left == (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2 &&
           rect.top == (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
}

void PostKey(HWND window, WPARAM virtualKey) {
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | 0xC0000000);
}

void ClickAt(HWND window, int x, int y) {
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    Sleep(50);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Sleep(50);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

HWND Toolbar(HWND mainWindow) {
    for (const Child& child : Children(mainWindow))
        if (child.className == "ToolbarWindow32") return child.window;
    return nullptr;
}

// The toolbar's buttons are 24 pixels wide, the first 9 pixels in.
void ClickToolbarButton(HWND toolbar, int index) {
    ClickAt(toolbar, 9 + 24 * index + 12, 14);
}

HWND VisiblePopup(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, ALERT_WINDOW_CLASS))
        if (IsVisible(window)) return window;
    return nullptr;
}

std::string AlarmTextIn(std::chrono::minutes from) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += from.count() * 60ull * 10'000'000; // 100-ns steps
    file = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME then;
    FileTimeToSystemTime(&file, &then);
    const int hour = then.wHour % 12 == 0 ? 12 : then.wHour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d %s", then.wMonth, then.wDay,
                  then.wYear, hour, then.wMinute, then.wHour < 12 ? "AM" : "PM");
    return text;
}

SYSTEMTIME PickerValue(HWND picker) {
    const RemoteSystemTime remote(picker);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(picker, DTM_GETSYSTEMTIME, 0, remote.Address(), SMTO_ABORTIFHUNG, 5000,
                             &result) ||
        result != GDT_VALID)
        Fail("the picker holds no value");
    return remote.Read();
}

void SetPickerValue(HWND picker, const SYSTEMTIME& value) {
    const RemoteSystemTime remote(picker);
    remote.Write(value);
    DWORD_PTR accepted = 0;
    if (!SendMessageTimeoutA(picker, DTM_SETSYSTEMTIME, GDT_VALID, remote.Address(),
                             SMTO_ABORTIFHUNG, 5000, &accepted) ||
        !accepted)
        Fail("the picker refused the value");
}

void TrayMouse(HWND handler, UINT mouseMessage) {
    // As the shell reports in the notification version the program asks for: the event and
    // the icon in lParam, the pointer's place on the screen in wParam.
    POINT at{};
    GetCursorPos(&at);
    PostMessageA(handler, WM_TRAY_ICON, MAKEWPARAM(at.x, at.y),
                 MAKELPARAM(mouseMessage, TRAY_ICON_ID));
}

bool TrayIconShown() {
    const HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    return tray && IsWindowVisible(tray) && GetWindow(tray, GW_CHILD);
}

void ChooseFromTrayMenu(DWORD processId, HWND handler, WPARAM key) {
    TrayMouse(handler, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    const bool opened = WaitUntil([&] {
        for (HWND window : TopLevelWindows(processId, "#32768"))
            if (IsWindowVisible(window)) menu = window;
        return menu != nullptr;
    });
    if (!opened) Fail("the tray menu did not open");
    PostKey(menu, key);
    PostKey(menu, VK_RETURN);
}

std::vector<HWND> TaskbarWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search.processId && test::HasTaskbarEntry(window))
                search.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Put(const std::string& path, const std::string& content) {
    std::ofstream(PathOf(path), std::ios::binary) << content;
}

std::string Content(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void TypeText(const std::string& text) {
    std::vector<INPUT> keys;
    for (const wchar_t unit : Wide(text))
        for (const DWORD up : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT key{};
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = unit;
            key.ki.dwFlags = KEYEVENTF_UNICODE | up;
            keys.push_back(key);
        }
    if (SendInput(UINT(keys.size()), keys.data(), sizeof(INPUT)) != keys.size())
        Fail("cannot type");
}

} // namespace quillet::e2e
