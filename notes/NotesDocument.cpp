#include "notes/NotesDocument.h"

#include "base/Errors.h"
#include "base/Utf8.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace quillet {

namespace {

namespace fs = std::filesystem;

// Every cell of every row, header and columns beyond the notes included; widths do not count.
bool SameCells(const NoteTable& a, const NoteTable& b) {
    if (a.RowCount() != b.RowCount() || a.StoredColCount() != b.StoredColCount()) return false;
    for (int row = 0; row < a.RowCount(); ++row)
        for (int col = 0; col < a.StoredColCount(); ++col)
            if (a.CellText(col, row) != b.CellText(col, row)) return false;
    return true;
}

} // namespace

NotesDocument::NotesDocument(std::string path, const FileSystem& system)
    : path_(std::move(path)), system_(system) {}

NotesDocument::Stamp NotesDocument::StampNow() const {
    const fs::path name = PathOf(path_);
    std::error_code error;
    Stamp stamp;
    if (!fs::is_regular_file(name, error)) return stamp;
    stamp.size = fs::file_size(name, error);
    stamp.written = fs::last_write_time(name, error);
    stamp.exists = !error;
    return stamp;
}

void NotesDocument::Load(const std::function<void()>& processEvents) {
    // Taken before the read: a change made while it reads shows at the next look.
    const Stamp stamp = StampNow();
    std::error_code error;
    if (fs::exists(PathOf(path_), error)) LoadNotesFile(table_, path_, processEvents, system_);
    // Only a file that was read counts as known. After a failed read the next look reads it
    // again, and a change waits for it: saving the notes of a table that missed the file's
    // would write over them.
    known_ = stamp;
    if (table_.RowCount() > 1) table_.SortRows(ColAlarm, SortDirection::Ascending);
}

NotesDocument::Outside NotesDocument::Refresh() {
    const Stamp before = StampNow();
    if (before == known_) return Outside::Unchanged;
    // A file that went away or was emptied is most likely being replaced; either way the
    // notes it held are still worth more than nothing, and the next save writes them back.
    if (!before.exists || before.size == 0) {
        known_ = before;
        return Outside::Unchanged;
    }
    NoteTable fresh;
    try {
        LoadNotesFile(fresh, path_, {}, system_);
    } catch (const std::exception&) {
        return Outside::Unsettled; // held open without sharing, or a read that failed
    }
    // Changed while it was read: still being written.
    if (StampNow() != before) return Outside::Unsettled;
    known_ = before;
    if (SameCells(fresh, table_)) return Outside::Unchanged;

    const NoteTexts current = NoteAt(table_.SelectedRow());
    for (int col = 0; col < std::min(fresh.StoredColCount(), table_.StoredColCount()); ++col)
        fresh.SetColWidth(col, table_.ColWidth(col));
    fresh.SortRows(table_.SortColumn(), table_.Direction());
    table_ = std::move(fresh);
    if (const auto row = Find(current)) table_.SelectRow(*row);
    return Outside::Reloaded;
}

void NotesDocument::TakeInOutsideChanges() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (Refresh() != Outside::Unsettled) return;
    }
    throw EAdvGridError("Cannot open file " + path_);
}

NotesDocument::NoteTexts NotesDocument::NoteAt(int row) const {
    return {table_.CellText(ColAlarm, row), table_.CellText(ColRepeat, row),
            table_.CellText(ColNote, row)};
}

std::optional<int> NotesDocument::Find(const NoteTexts& note) const {
    if (NoteAt(table_.SelectedRow()) == note) return table_.SelectedRow();
    for (int row = 1; row < table_.RowCount(); ++row)
        if (NoteAt(row) == note) return row;
    return std::nullopt;
}

void NotesDocument::Save() {
    SaveNotesFile(table_, path_, system_);
    known_ = StampNow();
}

void NotesDocument::Add(const NoteTexts& note) {
    TakeInOutsideChanges();
    table_.AddNote(note);
    Save();
}

bool NotesDocument::Edit(const NoteTexts& was, const NoteTexts& now) {
    TakeInOutsideChanges();
    const auto row = Find(was);
    if (!row) return false;
    table_.SelectRow(*row);
    table_.SetNote(*row, now);
    Save();
    return true;
}

bool NotesDocument::Delete(const NoteTexts& was) {
    TakeInOutsideChanges();
    const auto row = Find(was);
    if (!row) return false;
    table_.SelectRow(*row);
    table_.DeleteSelectedNote();
    Save();
    return true;
}

} // namespace quillet
