#pragma once
// The application's help handler: every help request of the program, from the toolbar, the
// menu or F1, goes to the HTML Help viewer and the manual HelpFileName. The handler answers
// every request itself; nothing is passed on.
#include <windows.h>

#include <functional>

namespace quillet {

// A call HtmlHelpW(caller, file, command, data), the file in UTF-8; a null file is "no file".
// Results are ignored.
using HtmlHelpCall =
    std::function<void(HWND caller, const char* file, UINT command, DWORD_PTR data)>;

// Where the handler's calls go: HtmlHelpW of the HTML Help control, hhctrl.ocx, loaded by name
// on first use (without it, help shows nothing). Tests put an observer here.
extern HtmlHelpCall ShowHtmlHelp;

// Answers a help request, a WinHelp command with its data, with the matching HtmlHelpW call:
// a context number (HELP_CONTEXT, HELP_CONTEXTPOPUP) opens that context, a keyword (HELP_KEY)
// the index, HELP_QUIT closes every help window, and anything else, HELP_FINDER included,
// opens the manual at its default topic. The viewer is owned by no window of the program.
void ApplicationHelp(UINT command, ULONG_PTR data);

} // namespace quillet
