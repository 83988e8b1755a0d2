#pragma once
// What the notes-file targets check of a table read from any bytes: its bounds, and that what
// is written from it reads back as the same table.
#include "notes/NotesFile.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace quillet::fuzz {

inline void Check(bool condition) {
    if (!condition) std::abort();
}

// A size line that stretches the table to ten thousand rows or more makes a run cost tens of
// milliseconds under the sanitizers, in proportion to the empty rows, and exercises nothing
// that smaller tables do not: the unit tests read tables at the bound. Such inputs are passed
// over, so that the runs go deep instead.
inline bool AsksForManyRows(const std::string& bytes) {
    int digits = 0;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\n'; ++i)
        if ((digits = bytes[i] >= '0' && bytes[i] <= '9' ? digits + 1 : 0) == 5) return true;
    return false;
}

// As a file of those bytes reads: in UTF-8, or in the code page when it is not UTF-8.
inline NoteTable ReadFrom(const std::string& bytes) {
    NoteTable table;
    ReadNotes(table, DecodeNotesFile(bytes, StandardFileSystem{}), {});
    return table;
}

inline std::string WrittenFrom(const NoteTable& table) {
    std::ostringstream out;
    WriteNotes(table, out);
    return out.str();
}

inline void CheckBounds(const NoteTable& table) {
    Check(table.RowCount() >= 2 && table.RowCount() <= NoteTable::MaxRowCount);
    Check(table.StoredColCount() >= NoteTable::ColCount &&
          table.StoredColCount() <= NoteTable::MaxColCount);
    for (int col = 0; col < table.StoredColCount(); ++col)
        Check(table.ColWidth(col) >= 0 && table.ColWidth(col) <= NoteTable::MaxColWidth);
}

// A text as the file carries it. Only one kind of text read from a file changes on its way
// back: one with a lone CR and no LF (a CR alone does not end a line), since the file writes
// every line break of such a text as a CR LF, and a TAB or BS beside them as a blank.
inline std::string AsSaved(std::string text) {
    if (text.find('\r') == std::string::npos || text.find('\n') != std::string::npos) return text;
    std::string saved;
    for (char c : text) {
        if (c == '\r')
            saved += "\r\n";
        else
            saved += c == '\t' || c == '\b' ? ' ' : c;
    }
    return saved;
}

// Whether `back`, read from what was written of `table`, is that table.
inline bool ReadsBackAs(const NoteTable& table, const NoteTable& back) {
    if (table.RowCount() != back.RowCount() || table.StoredColCount() != back.StoredColCount())
        return false;
    for (int col = 0; col < table.StoredColCount(); ++col)
        if (table.ColWidth(col) != back.ColWidth(col)) return false;
    for (int row = 0; row < table.RowCount(); ++row) {
        if (table.IsEmptyRow(row) && back.IsEmptyRow(row)) continue;
        for (int col = 0; col < table.StoredColCount(); ++col) {
            const std::string &text = table.CellText(col, row), &read = back.CellText(col, row);
            if (text != read && AsSaved(text) != read) return false;
        }
    }
    return true;
}

} // namespace quillet::fuzz
