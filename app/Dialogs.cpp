#include "app/Dialogs.h"

#include "app/UseHTMLHelp.h"
#include "app/uAbout.h"
#include "app/uNote.h"
#include "win32/Text.h"
#include "win32/Window.h"

#include <commctrl.h>

#include <utility>

namespace quillet {

namespace {

// A Yes/No message box has no Cancel button, so by itself it ignores Escape and greys its
// close box. Taken over as it opens, it reads both as No, the question's safe answer.
LRESULT CALLBACK CancelMeansNo(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        wParam = MAKEWPARAM(IDNO, HIWORD(wParam));
    else if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, CancelMeansNo, id);
    return DefSubclassProc(box, message, wParam, lParam);
}

thread_local HHOOK confirmationHook = nullptr;

// Catches the confirmation box as it is activated, the first window to be on this thread
// while the hook is set.
LRESULT CALLBACK TakeOverBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        SetWindowSubclass(box, CancelMeansNo, 1, 0);
        EnableMenuItem(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
        UnhookWindowsHookEx(std::exchange(confirmationHook, nullptr));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

bool ConfirmationBox(const std::string& question) {
    confirmationHook = SetWindowsHookExW(WH_CBT, TakeOverBox, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(GetActiveWindow(), win32::Wide(question).c_str(), L"Confirm",
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    // A box that could not open was never activated.
    if (confirmationHook) UnhookWindowsHookEx(std::exchange(confirmationHook, nullptr));
    return answer == IDYES;
}

void InformationBox(const std::string& text) {
    MessageBoxW(GetActiveWindow(), win32::Wide(text).c_str(), L"Information",
                MB_OK | MB_ICONINFORMATION);
}

bool ApplicationDialogs::Confirm(const std::string& question) {
    return ConfirmationBox(question);
}

void ApplicationDialogs::Inform(const std::string& text) {
    InformationBox(text);
}

void ApplicationDialogs::ShowError(const std::string& message) {
    win32::ShowErrorBox(message.c_str());
}

bool ApplicationDialogs::EditNote(NoteFields& fields) {
    return ShowNoteEditor(Owner, fields);
}

void ApplicationDialogs::About() {
    ShowAbout(Owner);
}

void ApplicationDialogs::Help(UINT command, ULONG_PTR data) {
    ApplicationHelp(command, data);
}

} // namespace quillet
