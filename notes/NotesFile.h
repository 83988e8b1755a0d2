#pragma once
// The notes file: a plain-text dump of the whole NoteTable, header row included, in UTF-8
// without a byte-order mark (a file of plain ASCII is what the program always wrote). Older
// files in the system's 8-bit code page read as they always did. Lines end in CR LF: first the size
// line ("<columns>,<RowCount>", 3 columns unless the file came with more), then one width line per
// column ("cw 0,130"), then one line per non-empty cell
// ("<col>,<row>,<text>"), row by row, left to right. Other copies of the program read and
// write this same format.
#include "notes/NoteTable.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quillet {

// A cell text as one line of the file. Line breaks are carried as TAB (for CR) and BS (for LF),
// which the reader recognises by the presence of a BS; so a TAB or BS of the text's own cannot
// stand beside them and becomes a blank, and a text whose breaks are CRs alone gets a BS after
// each so that they still read back as line breaks. A text without line breaks is written as
// it is, but for any BS in it, which becomes a blank too.
std::string EncodeCellText(std::string_view text);
// Reverses the encoding: when the stored text holds a BS, every TAB becomes CR and every BS
// LF; otherwise the text is taken as it is. The whole text is kept, every line of it.
std::string DecodeCellText(std::string_view stored);

// What a save needs of the system beyond standard C++. The program's is the Windows one
// (win32/SystemFileSystem), which keeps the file's hidden and archive attributes and makes the
// save durable; StandardFileSystem does what standard C++ can.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Gives `to` the attributes of `from`, as a write in place would keep them; nothing when
    // `from` does not exist.
    virtual void CopyAttributes(const std::string& from, const std::string& to) const = 0;
    // Forces the closed file's content onto the disk. A file system that journals names but
    // not data may otherwise put the new name in place before the data, and a power cut then
    // leaves an empty or zeroed file under it. False when it fails.
    virtual bool Flush(const std::string& path) const = 0;
    // Puts `from` in the place of `to` in one step, replacing it, and returns once the change
    // is on the disk. False when it fails.
    virtual bool Replace(const std::string& from, const std::string& to) const = 0;
    // The text of bytes in the system's 8-bit ("ANSI") code page, in UTF-8.
    virtual std::string FromCodePage(std::string_view bytes) const = 0;
};

// Standard C++ keeps no attributes and cannot force data to the disk; it renames, and takes
// the 8-bit code page for Windows-1252, the one of Windows in the Americas and Western Europe.
class StandardFileSystem final : public FileSystem {
public:
    void CopyAttributes(const std::string&, const std::string&) const override {}
    bool Flush(const std::string&) const override { return true; }
    bool Replace(const std::string& from, const std::string& to) const override;
    std::string FromCodePage(std::string_view bytes) const override;
};

// Writes the whole table to the file, replacing it in one step: the lines go to a temporary
// file beside it first, which is flushed to the disk before it replaces the file, so that a
// failure at any point leaves the previous file as it was and no temporary file behind. Throws
// EAdvGridError "Cannot Create <path>" when the file is read-only or cannot be created or replaced,
// EInOutError when a write fails.
void SaveNotesFile(const NoteTable& table, const std::string& path,
                   const FileSystem& system = StandardFileSystem{});

// Reads the file into the table: its size, its column widths and the cells the file names;
// cells it does not name keep their text. Never throws for what the file holds: numbers read
// leniently (leading digits, else 0); lines that name no cell or column of the table, widths
// outside 0 to NoteTable::MaxColWidth and empty cell texts are ignored. The table keeps between
// 3 and NoteTable::MaxColCount columns and between 2 and NoteTable::MaxRowCount rows, whatever
// the size line says. Only CR LF or a lone LF ends a line; a lone CR belongs to the text.
// processEvents, when given, runs after every cell line, so that a long load leaves the window
// responsive. Throws EAdvGridError "Cannot open file <path>" when the file cannot be opened,
// EInOutError when a read fails.
void LoadNotesFile(NoteTable& table, const std::string& path,
                   const std::function<void()>& processEvents = {},
                   const FileSystem& system = StandardFileSystem{});

// The text of a notes file's bytes: a file that starts with the UTF-8 byte-order mark is UTF-8
// (the mark dropped, and a byte that is not part of a well-formed character shown as U+FFFD),
// and so is one that is well-formed UTF-8 as a whole; any other was written in the system's
// 8-bit code page, as every file before UTF-8.
std::string DecodeNotesFile(std::string bytes, const FileSystem& system);

// The two halves of the notes file, apart from opening it: the lines of the table, and the
// reading of a decoded file's text into a table.
void WriteNotes(const NoteTable& table, std::ostream& out);
void ReadNotes(NoteTable& table, std::string_view text, const std::function<void()>& processEvents);

// Replaces the file at path with what write puts into the stream, through a temporary file in
// the same folder; the save's safety lives here. A stream left failed by write, or an
// exception from it, fails the whole replacement as above.
void ReplaceFile(const std::string& path, const std::function<void(std::ostream&)>& write,
                 const FileSystem& system = StandardFileSystem{});

} // namespace quillet
