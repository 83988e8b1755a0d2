#pragma once
// Every modal dialog and message box that the main window's commands open goes through one
// small interface, so that the commands' logic can be driven by a test without anyone
// clicking. The application's own boxes (the error box, the confirmation and the information
// dialog) live here too.
#include "notes/NoteFields.h"

#include <windows.h>

#include <string>

namespace quillet {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A question in the confirmation dialog; true for Yes.
    virtual bool Confirm(const std::string& question) = 0;
    // A failure that escaped a command, in the application's error box.
    virtual void ShowError(const std::string& message) = 0;
    // A notice in the information dialog.
    virtual void Inform(const std::string& text) = 0;
    // The note editor preset from fields; on OK the values are written back and true returned.
    virtual bool EditNote(NoteFields& fields) = 0;
    virtual void About() = 0;
    // A help request: a help command with its data.
    virtual void Help(UINT command, ULONG_PTR data) = 0;
};

// The real dialogs of the program.
class ApplicationDialogs final : public Dialogs {
public:
    // The window the editor and the About dialog belong to, shown or hidden: they stay in
    // front of it and it takes no input while they are open. The main window, once it exists.
    HWND Owner = nullptr;

    bool Confirm(const std::string& question) override;
    void ShowError(const std::string& message) override;
    void Inform(const std::string& text) override;
    bool EditNote(NoteFields& fields) override;
    void About() override;
    void Help(UINT command, ULONG_PTR data) override;
};

// The confirmation dialog: caption "Confirm", question icon, "Yes" (the default) and "No";
// Escape and the close box answer No. True for Yes.
bool ConfirmationBox(const std::string& question);
// The information dialog: caption "Information", information icon, one "OK" button.
void InformationBox(const std::string& text);

} // namespace quillet
