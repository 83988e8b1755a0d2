#pragma once
// Drives the real quillet.exe as a user would: from a fresh AppFolder of its own, through
// its windows only. Every wait is bounded and polls; everything started is ended and
// everything made is removed when its owner goes out of scope. The program's window classes
// and tray message are those of res/resource.h.
#include "res/resource.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::e2e {

using std::chrono::milliseconds;

// Only a failing test waits this long. The first start of a program in a fresh Wine prefix
// on a busy machine has been seen to take more than ten seconds.
constexpr milliseconds DefaultTimeout{60000};

// Polls `done` until it returns true or the timeout passes; returns its last answer.
template <typename Predicate>
bool WaitUntil(Predicate done, milliseconds timeout = DefaultTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(20);
    }
}

// Owns a kernel handle.
class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~Handle() {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// A fresh, empty folder in the temp folder with a copy of quillet.exe in it; removed with
// everything in it at the end. Paths and names are UTF-8 here, as in the program.
class AppFolderCopy {
public:
    // The folder's name ends in nameEnd, a name in any script.
    explicit AppFolderCopy(const std::string& nameEnd = "");
    ~AppFolderCopy();
    AppFolderCopy(const AppFolderCopy&) = delete;
    AppFolderCopy& operator=(const AppFolderCopy&) = delete;

    // Windows path ending in "\".
    const std::string& Folder() const { return folder_; }
    std::string ExePath() const { return folder_ + "quillet.exe"; }
    // The names of the files in the folder, sorted.
    std::vector<std::string> FileNames() const;

private:
    std::string folder_;
};

// A started program; terminated at the end if it is still running.
class Process {
public:
    // Starts the program with NUL as its standard handles, so that it holds no pipe of ours,
    // in the test's own working directory.
    explicit Process(const std::string& exePath);
    ~Process();
    Process(Process&&) = default;

    DWORD Id() const { return id_; }
    bool Running() const;
    // The exit code once the program has ended within the timeout.
    std::optional<DWORD> WaitForExit(milliseconds timeout = DefaultTimeout) const;

private:
    Handle process_;
    DWORD id_ = 0;
};

// The process's top-level windows (hidden ones too) of a window class, with a title if one
// is given.
std::vector<HWND> TopLevelWindows(DWORD processId, const std::string& className,
                                  const std::optional<std::string>& title = std::nullopt);
// The first such window to appear within the timeout, or nullptr.
HWND WaitForWindow(DWORD processId, const std::string& className,
                   const std::optional<std::string>& title = std::nullopt,
                   milliseconds timeout = DefaultTimeout);

// The process's visible top-level window of that class and title, once one shows within the
// default timeout, or nullptr. A dialog's window may exist hidden before it shows.
HWND WaitForShownWindow(DWORD processId, const std::string& className, const std::string& title);

// A standard dialog's window class, message boxes included.
inline const std::string DialogClass = "#32770";
// A message box shows its text in the Static child with this id.
constexpr int MessageBoxTextId = 65535;

std::string WindowText(HWND window);
// The window's text, or nothing when it does not answer (as one that has just gone).
std::optional<std::string> TextOf(HWND window);
std::string ClassName(HWND window);
// The child windows with their ids, direct children only.
struct Child {
    HWND window;
    int id;
    std::string className;
};
std::vector<Child> Children(HWND parent);

// Presses a dialog's button (IDOK, IDCANCEL, IDYES, ...) as a click would.
void PressButton(HWND dialog, int buttonId);
// Asks a window to close, as its close box would (WM_CLOSE).
void AskToClose(HWND window);

bool IsVisible(HWND window);
RECT WindowRect(HWND window);
// Whether the rectangle is centred on the screen (to the pixel, as integer halves round).
bool CentredOnScreen(const RECT& rect);

// Presses and releases a key on a window of another program, through its message queue.
void PostKey(HWND window, WPARAM virtualKey);
// A click of the mouse at a point of a window's client area.
void ClickAt(HWND window, int x, int y);

// The main window's toolbar and a click on its button at the index, 0 for Add to 6 for Exit.
HWND Toolbar(HWND mainWindow);
void ClickToolbarButton(HWND toolbar, int index);
// The program's reminder popup, once it is visible.
HWND VisiblePopup(DWORD processId);
// The local time so many minutes from now as an Alarm text, "mm/dd/yyyy HH:nn AM/PM".
std::string AlarmTextIn(std::chrono::minutes from);

// The value of a date or time picker of another program, and setting it as a user would
// pick it. The picker's messages carry a pointer, so the value passes through memory in
// that program.
SYSTEMTIME PickerValue(HWND picker);
void SetPickerValue(HWND picker, const SYSTEMTIME& value);

// Reports a mouse message on the program's icon to its hidden tray window (`handler`), as the
// shell would.
void TrayMouse(HWND handler, UINT mouseMessage);
// Whether the notification area shows an icon. Wine without a desktop of its own shows the
// icons in a small window of its own, visible only while it holds one; these tests run
// alone on their display, so any icon there is the program's.
bool TrayIconShown();
// Opens the tray menu of the program with the right button and chooses an item by the key
// that reaches it from no selection: VK_DOWN for the first, About, VK_UP for the last, Exit.
void ChooseFromTrayMenu(DWORD processId, HWND handler, WPARAM key);
inline void ExitFromTrayMenu(DWORD processId, HWND handler) {
    ChooseFromTrayMenu(processId, handler, VK_UP);
}

// The process's windows that the taskbar and Alt+Tab list.
std::vector<HWND> TaskbarWindows(DWORD processId);

// UTF-16 text, as Windows hands it out, in UTF-8, as the tests compare it.
std::string Utf8(std::wstring_view wide);

// A file's whole content, written and read byte for byte (an empty text for a missing file).
void Put(const std::string& path, const std::string& content);
std::string Content(const std::string& path);

// Types the text into the window that has the keyboard focus, one character after another as
// a keyboard that sends characters does (SendInput with KEYEVENTF_UNICODE): any character.
void TypeText(const std::string& text);

} // namespace quillet::e2e
