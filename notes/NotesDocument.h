#pragma once
// The notes document: the NoteTable together with its file. It loads, sorts and saves the
// notes, notices when another program (a sync client, an editor, a copy from another
// machine) has changed the file, and applies each change the user makes to what the file
// holds at that moment, so that a change made outside is never written over. The main window
// owns one, shows its table and sends it the commands.
#include "notes/NoteTable.h"
#include "notes/NotesFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace quillet {

class NotesDocument {
public:
    using NoteTexts = NoteTable::NoteTexts;

    NotesDocument(std::string path, const FileSystem& system);

    // The table the grid shows: the same object for the document's life, reloads included.
    NoteTable& Table() { return table_; }
    const NoteTable& Table() const { return table_; }
    const std::string& Path() const { return path_; }

    // Reads the file, when there is one, and sorts the notes by their alarm, earliest first.
    // Throws as LoadNotesFile; the table then holds what was read before the failure, and the
    // file counts as unread: every change first waits for a good read of it.
    void Load(const std::function<void()>& processEvents = {});

    enum class Outside {
        Unchanged, // as last read or written (or gone, or emptied: the table stays)
        Reloaded,  // changed by another program and read again
        Unsettled, // changing or unreadable right now: look again in a moment
    };
    // Looks whether the file was changed since this document last read or wrote it, judged by
    // its size and write time and then by its notes, and reads it again when it was. The
    // reloaded notes are sorted as the table is sorted now, the current row stays on the same
    // note where that note still exists, and the column widths stay as the user left them.
    // A file that is being written, cannot be read or has gone empty never replaces the table.
    Outside Refresh();

    // The commands. Each first takes in what the file holds now (waiting a moment for a file
    // that is being written), then changes the table and saves it. A note is found by its three
    // texts, not by its row: an Edit or a Delete of a note that was changed or removed outside
    // writes nothing and returns false. Save failures throw as SaveNotesFile.
    void Add(const NoteTexts& note);
    bool Edit(const NoteTexts& was, const NoteTexts& now);
    bool Delete(const NoteTexts& was);

    // The three texts of a note row.
    NoteTexts NoteAt(int row) const;

private:
    struct Stamp {
        bool exists = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type written{};
        bool operator==(const Stamp&) const = default;
    };
    Stamp StampNow() const;
    // Refresh until the file is settled; throws EAdvGridError "Cannot open file <path>" when it
    // does not settle within about a second.
    void TakeInOutsideChanges();
    // The row holding the note, the current row first; none when no row does.
    std::optional<int> Find(const NoteTexts& note) const;
    void Save();

    std::string path_;
    const FileSystem& system_;
    NoteTable table_;
    Stamp known_; // of the file as this document last read or wrote it
};

} // namespace quillet
