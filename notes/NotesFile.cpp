#include "notes/NotesFile.h"

#include "base/Errors.h"
#include "base/Utf8.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

namespace quillet {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t npos = std::string_view::npos;
constexpr char CR = '\r', LF = '\n', TAB = '\t', BS = '\b';

// Leading blanks, an optional sign and the leading digits; 0 without digits. Values beyond
// the integer range are held at its ends.
int ReadNumber(std::string_view field) {
    std::size_t i = field.find_first_not_of(' ');
    if (i == std::string_view::npos) return 0;
    const bool negative = field[i] == '-';
    if (field[i] == '+' || field[i] == '-') ++i;
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min(value * 10 + (field[i] - '0'), 1LL + INT_MAX);
    return int(std::clamp(negative ? -value : value, (long long)INT_MIN, (long long)INT_MAX));
}

// Cuts the text before the first comma off the line, together with the comma, and reads it as
// a number. Without a comma the field is empty and nothing is cut off.
int TakeField(std::string_view& line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return 0;
    const int value = ReadNumber(line.substr(0, comma));
    line.remove_prefix(comma + 1);
    return value;
}

// Each line of the text without its end. Line ends are decided for the file as a whole: a
// file with no LF at all but a CR has CR line ends, as some old editors write them, and each
// CR ends a line. In any other file CR LF or a lone LF ends a line, and any other CR is part of
// the line, since a cell's text may hold one. A last line without an end counts too (a CR that
// ends the file is taken for the start of a line end).
template <typename Visit> void ForEachLine(std::string_view text, Visit visit) {
    const char end = text.find(LF) == npos && text.find(CR) != npos ? CR : LF;
    while (!text.empty()) {
        const std::size_t stop = std::min(text.find(end), text.size());
        std::string_view line = text.substr(0, stop);
        if (line.ends_with(CR)) line.remove_suffix(1);
        visit(line);
        text.remove_prefix(std::min(stop + 1, text.size()));
    }
}

void ReadSizeLine(NoteTable& table, std::string_view line) {
    if (line.empty()) return;
    table.SetStoredColCount(TakeField(line)); // never fewer than the three note columns
    table.SetRowCount(ReadNumber(line));
}

void ReadWidthLine(NoteTable& table, std::string_view line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return; // names no width at all
    const int col = ReadNumber(comma > 3 ? line.substr(3, comma - 3) : std::string_view{});
    const int width = ReadNumber(line.substr(comma + 1, 255));
    if (col >= 0 && col < table.StoredColCount() && width >= 0 && width <= NoteTable::MaxColWidth)
        table.SetColWidth(col, width);
}

void ReadCellLine(NoteTable& table, std::string_view line) {
    const int col = TakeField(line);
    const int row = TakeField(line);
    // A saved file has no line for an empty cell, so such a line cannot empty one either.
    if (col >= 0 && col < table.StoredColCount() && row >= 0 && row < table.RowCount() &&
        !line.empty())
        table.SetCellText(col, row, DecodeCellText(line));
}

// Appends the encoded text, so that a whole file is built without a string per cell.
void AppendEncoded(std::string& stored, std::string_view text) {
    // Most texts have nothing to encode: they go in whole.
    if (std::none_of(text.begin(), text.end(),
                     [](char c) { return c == CR || c == LF || c == TAB || c == BS; })) {
        stored += text;
        return;
    }
    const bool hasCR = text.find(CR) != std::string_view::npos;
    const bool hasLF = text.find(LF) != std::string_view::npos;
    for (char c : text) {
        if (c == BS || (c == TAB && (hasCR || hasLF)))
            stored += ' ';
        else if (c == CR)
            stored += hasLF ? "\t" : "\t\b";
        else if (c == LF)
            stored += BS;
        else
            stored += c;
    }
}

void AppendNumber(std::string& line, int value) {
    char digits[12];
    line.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

bool IsReadOnly(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(PathOf(path), error);
    return fs::is_regular_file(status) &&
           (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// Creates the temporary file beside path. A stale one from an earlier save (a crash, a copy
// made read-only, one held open by another program, a folder of that name) is cleared where
// it can be and passed over where not, so it never stops a save. Gives its name in temporary.
std::ofstream CreateTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path;
        if (attempt > 0) temporary += '.' + std::to_string(attempt);
        temporary += ".tmp";
        const fs::path name = PathOf(temporary);
        std::error_code error;
        if (fs::is_regular_file(fs::symlink_status(name, error))) fs::remove(name, error);
        if (fs::exists(fs::symlink_status(name, error))) continue;
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        if (out) return out;
        break; // a free name that cannot be created: the folder refuses
    }
    throw EAdvGridError("Cannot Create " + path);
}

} // namespace

std::string EncodeCellText(std::string_view text) {
    std::string stored;
    AppendEncoded(stored, text);
    return stored;
}

std::string DecodeCellText(std::string_view stored) {
    std::string text(stored);
    if (text.find(BS) == std::string::npos) return text;
    for (char& c : text) {
        if (c == TAB)
            c = CR;
        else if (c == BS)
            c = LF;
    }
    return text;
}

void WriteNotes(const NoteTable& table, std::ostream& out) {
    std::string lines;
    const int cols = table.StoredColCount();
    AppendNumber(lines, cols);
    lines += ',';
    AppendNumber(lines, table.RowCount());
    lines += "\r\n";
    for (int col = 0; col < cols; ++col) {
        lines += "cw ";
        AppendNumber(lines, col);
        lines += ',';
        AppendNumber(lines, table.ColWidth(col));
        lines += "\r\n";
    }
    // The lines go out in pieces of some 64 KB through one buffer: a string of the whole
    // file would be megabytes of fresh memory, which the system hands out slowly.
    constexpr std::size_t piece = 64 * 1024;
    lines.reserve(piece + 1024);
    for (int row = 0; row < table.RowCount(); ++row) {
        if (table.IsEmptyRow(row)) continue; // a damaged size line may ask for many
        for (int col = 0; col < cols; ++col)
            if (const std::string& text = table.CellText(col, row); !text.empty()) {
                AppendNumber(lines, col);
                lines += ',';
                AppendNumber(lines, row);
                lines += ',';
                AppendEncoded(lines, text);
                lines += "\r\n";
            }
        if (lines.size() >= piece) {
            out.write(lines.data(), std::streamsize(lines.size()));
            lines.clear();
        }
    }
    out.write(lines.data(), std::streamsize(lines.size()));
}

void ReadNotes(NoteTable& table, std::string_view text,
               const std::function<void()>& processEvents) {
    bool first = true;
    ForEachLine(text, [&](std::string_view line) {
        if (std::exchange(first, false)) {
            ReadSizeLine(table, line);
        } else if (line.starts_with("cw")) {
            ReadWidthLine(table, line);
        } else {
            ReadCellLine(table, line);
            if (processEvents) processEvents();
        }
    });
}

bool StandardFileSystem::Replace(const std::string& from, const std::string& to) const {
    std::error_code error;
    fs::rename(PathOf(from), PathOf(to), error);
    return !error;
}

std::string StandardFileSystem::FromCodePage(std::string_view bytes) const {
    // Windows-1252: Latin-1, but for the printable characters it puts in 0x80 to 0x9F (its
    // five unused places stay as Latin-1's control characters).
    static constexpr char16_t Upper[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string utf8;
    utf8.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char16_t point = byte >= 0x80 && byte < 0xA0 ? Upper[byte - 0x80] : byte;
        if (point < 0x80) {
            utf8 += char(point);
        } else if (point < 0x800) {
            utf8 += char(0xC0 | (point >> 6));
            utf8 += char(0x80 | (point & 0x3F));
        } else {
            utf8 += char(0xE0 | (point >> 12));
            utf8 += char(0x80 | ((point >> 6) & 0x3F));
            utf8 += char(0x80 | (point & 0x3F));
        }
    }
    return utf8;
}

void ReplaceFile(const std::string& path, const std::function<void(std::ostream&)>& write,
                 const FileSystem& system) {
    // The user's protection holds as it would for a write in place. Renaming over a read-only
    // file succeeds in some places (Wine, any POSIX system), so the attribute decides.
    if (IsReadOnly(path)) throw EAdvGridError("Cannot Create " + path);
    std::string temporary;
    std::ofstream out = CreateTemporary(path, temporary);
    try {
        write(out);
        out.close();
        if (!out) throw EInOutError("Cannot write " + path);
        system.CopyAttributes(path, temporary);
        if (!system.Flush(temporary)) throw EInOutError("Cannot write " + path);
    } catch (...) {
        out.close();
        std::error_code error;
        fs::remove(PathOf(temporary), error);
        throw;
    }
    // Replaces an existing file in one step, on Windows as well. Another program that has
    // notes.txt open for a moment (a backup, a virus scanner, someone reading it) makes the
    // replace fail on Windows: try again for about a second before giving up.
    bool replaced = false;
    for (int attempt = 0; attempt < 20 && !replaced; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        replaced = system.Replace(temporary, path);
    }
    if (!replaced) {
        std::error_code error;
        fs::remove(PathOf(temporary), error);
        throw EAdvGridError("Cannot Create " + path);
    }
}

void SaveNotesFile(const NoteTable& table, const std::string& path, const FileSystem& system) {
    ReplaceFile(
        path, [&](std::ostream& out) { WriteNotes(table, out); }, system);
}

std::string DecodeNotesFile(std::string bytes, const FileSystem& system) {
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(ByteOrderMark))
        return WellFormedUtf8(std::move(bytes.erase(0, ByteOrderMark.size())));
    if (IsValidUtf8(bytes)) return bytes;
    return system.FromCodePage(bytes);
}

void LoadNotesFile(NoteTable& table, const std::string& path,
                   const std::function<void()>& processEvents, const FileSystem& system) {
    const fs::path name = PathOf(path);
    std::error_code error;
    std::ifstream in;
    if (!fs::is_directory(name, error)) in.open(name, std::ios::binary);
    if (!in.is_open()) throw EAdvGridError("Cannot open file " + path);
    // Read whole, in one piece of memory: the encoding is decided for the file as a whole.
    const std::uintmax_t size = fs::file_size(name, error);
    std::string bytes(error ? 0 : std::size_t(size), '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(in.gcount()));
    // A file that grew since its size was read is read on to its end.
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, std::size_t(in.gcount()));
    if (in.bad()) throw EInOutError("Cannot read " + path);
    ReadNotes(table, DecodeNotesFile(std::move(bytes), system), processEvents);
}

} // namespace quillet
