#include "app/UseHTMLHelp.h"

#include "app/AppFolder.h"
#include "win32/Library.h"
#include "win32/Text.h"

#include <htmlhelp.h>

namespace quillet {
namespace {

void CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
    // Loaded once and never freed, not even as the process ends: help windows may stay open
    // until then, and their code must stay with them.
    static const win32::Library& control = *new win32::Library(L"hhctrl.ocx");
    static const auto htmlHelpW = control.Function<decltype(&HtmlHelpW)>("HtmlHelpW");
    if (htmlHelpW) htmlHelpW(caller, file ? win32::Wide(file).c_str() : nullptr, command, data);
}

} // namespace

HtmlHelpCall ShowHtmlHelp = CallHtmlHelp;

void ApplicationHelp(UINT command, ULONG_PTR data) {
    const std::string helpFile = HelpFileName();
    switch (command) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP: ShowHtmlHelp(nullptr, helpFile.c_str(), HH_HELP_CONTEXT, data); break;
    case HELP_KEY: ShowHtmlHelp(nullptr, helpFile.c_str(), HH_DISPLAY_INDEX, data); break;
    case HELP_QUIT: ShowHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0); break;
    default: ShowHtmlHelp(nullptr, helpFile.c_str(), HH_DISPLAY_TOPIC, 0); break;
    }
}

} // namespace quillet
