#include "notes/NotesFile.h"

#include "base/Errors.h"
#include "tests/support/NotesFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace quillet;
namespace fs = std::filesystem;

namespace {

const std::string WorkedExample = "3,3\r\n"
                                  "cw 0,130\r\n"
                                  "cw 1,84\r\n"
                                  "cw 2,168\r\n"
                                  "0,0,Alarm\r\n"
                                  "1,0,Repeat\r\n"
                                  "2,0,Note\r\n"
                                  "0,1,12/09/2026 04:08 PM\r\n"
                                  "1,1,None\r\n"
                                  "2,1,Call the dentist\r\n"
                                  "0,2,12/10/2026 09:00 AM\r\n"
                                  "1,2,Weekly\r\n"
                                  "2,2,Team meeting\t\bBring the report\r\n";

NoteTable WorkedExampleTable() {
    NoteTable table;
    table.AppendRow();
    table.SetCellText(ColAlarm, 1, "12/09/2026 04:08 PM");
    table.SetCellText(ColRepeat, 1, "None");
    table.SetCellText(ColNote, 1, "Call the dentist");
    table.SetCellText(ColAlarm, 2, "12/10/2026 09:00 AM");
    table.SetCellText(ColRepeat, 2, "Weekly");
    table.SetCellText(ColNote, 2, "Team meeting\r\nBring the report");
    return table;
}

std::string Written(const NoteTable& table) {
    std::ostringstream out;
    WriteNotes(table, out);
    return out.str();
}

NoteTable Read(const std::string& content, NoteTable table = {}) {
    ReadNotes(table, content, {});
    return table;
}

void ExpectSameTable(const NoteTable& a, const NoteTable& b) {
    ASSERT_EQ(a.RowCount(), b.RowCount());
    ASSERT_EQ(a.StoredColCount(), b.StoredColCount());
    for (int col = 0; col < a.StoredColCount(); ++col) {
        EXPECT_EQ(a.ColWidth(col), b.ColWidth(col)) << col;
        for (int row = 0; row < a.RowCount(); ++row)
            EXPECT_EQ(a.CellText(col, row), b.CellText(col, row)) << col << "," << row;
    }
}

using NotesFileOnDisk = NotesFolder;

} // namespace

TEST(NotesFile, WritesTheWorkedExampleByteForByte) {
    EXPECT_EQ(Written(WorkedExampleTable()), WorkedExample);
}

TEST(NotesFile, ReadsTheWorkedExampleBack) {
    const NoteTable table = Read(WorkedExample);
    ExpectSameTable(table, WorkedExampleTable());
    EXPECT_EQ(table.CellText(ColNote, 2), "Team meeting\r\nBring the report");
}

TEST(NotesFile, AFreshOrEmptiedTableWritesSevenLines) {
    const std::string fresh = "3,2\r\ncw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                              "0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n";
    EXPECT_EQ(Written(NoteTable{}), fresh);
    NoteTable emptied = WorkedExampleTable();
    emptied.DeleteRow(2);
    emptied.ClearRow(1);
    emptied.SetColWidth(ColNote, 300);
    EXPECT_EQ(Written(emptied), "3,2\r\ncw 0,130\r\ncw 1,84\r\ncw 2,300\r\n"
                                "0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n");
}

TEST(NotesFile, CellTextsEncodeToOneLineAndDecodeWhole) {
    struct Case {
        const char *text, *stored, *readBack;
    };
    const Case cases[] = {
        {"milk, eggs, bread", "milk, eggs, bread", "milk, eggs, bread"},
        {"a\tb", "a\tb", "a\tb"},
        {"Team meeting\r\nBring the report", "Team meeting\t\bBring the report",
         "Team meeting\r\nBring the report"},
        {"one\r\n\r\nthree\r\n", "one\t\b\t\bthree\t\b", "one\r\n\r\nthree\r\n"},
        // Line breaks that the editor does not make still stay line breaks.
        {"a\nb", "a\bb", "a\nb"},
        {"a\rb", "a\t\bb", "a\r\nb"},
        {"a\r\nb\rc", "a\t\bb\tc", "a\r\nb\rc"},
        // TAB and BS cannot stand beside the encoded line breaks.
        {"a\tb\r\nc", "a b\t\bc", "a b\r\nc"},
        {"a\bb", "a b", "a b"},
        {"", "", ""},
        {"\x01\xff\x7f", "\x01\xff\x7f", "\x01\xff\x7f"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeCellText(c.text), c.stored) << c.text;
        EXPECT_EQ(DecodeCellText(c.stored), c.readBack) << c.text;
    }
    // Stored texts from other copies: a TAB is a line break only where a BS shows the encoding.
    EXPECT_EQ(DecodeCellText("x\ty"), "x\ty");
    EXPECT_EQ(DecodeCellText("x\ty\bz"), "x\ry\nz");
}

TEST(NotesFile, ReadsNumbersLenientlyAndIgnoresLinesThatNameNoCell) {
    struct Case {
        const char* what;
        std::string file;
        int rows;
        std::vector<std::tuple<int, int, std::string>> cells; // col, row, text
        std::array<int, 3> widths = {130, 84, 168};
        int cols = 3;
    };
    const Case cases[] = {
        {"blanks and signs", " 3, +4\r\n 1 ,+2,x\r\n-0,3,y\r\n", 4, {{1, 2, "x"}, {0, 3, "y"}}},
        {"trailing characters", "3,4 rows\r\n2x,1y,z\r\n", 4, {{2, 1, "z"}}},
        {"no digits read as 0", "3,3\r\nfoo,bar,baz\r\n", 3, {{0, 0, "baz"}}},
        {"no commas", "3\r\nstray\r\n", 3, {{0, 0, "stray"}}},
        {"one comma", "3,3\r\n2,only\r\n", 3, {{2, 0, "only"}}},
        {"commas in the text",
         "3,2\r\n2,1,milk, eggs, bread\r\n",
         2,
         {{2, 1, "milk, eggs, bread"}}},
        {"cells outside the table",
         "3,3\r\n3,1,a\r\n0,7,b\r\n-1,1,c\r\n1,-1,d\r\n0,3,e\r\n",
         3,
         {}},
        {"empty texts", "3,3\r\n0,0,\r\n1,1,\r\n", 3, {}},
        {"widths", "3,2\r\ncw 0,200\r\ncw 1,0\r\ncw 2, 99 px\r\n", 2, {}, {200, 0, 99}},
        {"widths that name no column", "3,2\r\ncw 5,10\r\ncw -1,10\r\ncw\r\ncw 17\r\n", 2, {}},
        {"absurd widths", "3,2\r\ncw 0,-5\r\ncw 1,10001\r\ncw 2,99999999999999999999\r\n", 2, {}},
        {"width index up to the comma", "3,2\r\ncw,55\r\ncwx1,66\r\n", 2, {}, {55, 66, 168}},
        {"empty size line keeps the size", "\r\n0,1,a\r\n", 2, {{0, 1, "a"}}},
        {"counts below 1", "-3,-3\r\n", 2, {}},
        {"huge row count",
         "3,99999999999999999999\r\n0,199999,last\r\n",
         NoteTable::MaxRowCount,
         {{0, NoteTable::MaxRowCount - 1, "last"}}},
        {"columns beyond the size line",
         "4,3\r\ncw 4,10\r\n4,1,x\r\n2,1,y\r\n",
         3,
         {{2, 1, "y"}},
         {130, 84, 168},
         4},
        {"fewer than three columns", "1,2\r\n2,1,z\r\n", 2, {{2, 1, "z"}}},
        {"huge column count",
         "99999,2\r\n99,1,far\r\n",
         2,
         {{NoteTable::MaxColCount - 1, 1, "far"}},
         {130, 84, 168},
         NoteTable::MaxColCount},
        {"only width lines", "cw 0,130\r\ncw 1,84\r\ncw 2,168\r\n", 130, {}, {130, 84, 168}},
        // Only CR LF and a lone LF end a line: a lone CR stays in its cell, and what follows
        // it never lands in a cell of its own.
        {"LF, lone CR and missing final break",
         "3,3\n2,1,ab\rcd\r\nhello\r0,2,a\r\n1,1,b\r",
         3,
         {{2, 1, "ab\rcd"}, {0, 2, "a"}, {1, 1, "b"}}},
        // A file with no LF at all has CR line ends throughout (with one LF anywhere, its lone
        // CRs are part of their cells, as above).
        {"CR line ends",
         "3,3\r0,1,a\r1,1,None\r\r2,2,c\r",
         3,
         {{0, 1, "a"}, {1, 1, "None"}, {2, 2, "c"}}},
        {"CR line ends without a final one", "3,2\r2,1,z", 2, {{2, 1, "z"}}},
        {"binary bytes",
         std::string("3,2\r\n2,1,\0\x01\xff", 12),
         2,
         {{2, 1, std::string("\0\x01\xff", 3)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NoteTable expected;
        expected.SetStoredColCount(c.cols);
        expected.SetRowCount(c.rows);
        for (const auto& [col, row, text] : c.cells) expected.SetCellText(col, row, text);
        for (int col = 0; col < 3; ++col) expected.SetColWidth(col, c.widths[col]);
        ExpectSameTable(Read(c.file), expected);
    }
}

// Another tool may have added columns: the program shows and edits only its three, and keeps
// the others with their rows, to be written back as they came.
TEST(NotesFile, ColumnsBeyondTheThreeAreKeptAndWrittenBack) {
    const std::string header = "cw 0,130\r\ncw 1,84\r\ncw 2,168\r\ncw 3,40\r\ncw 4,64\r\n"
                               "0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n3,0,Tag\r\n";
    const std::string second = "0,1,12/10/2026 09:00 AM\r\n1,1,None\r\n2,1,second\r\n3,1,work\r\n";
    const std::string first = "0,2,12/09/2026 09:00 AM\r\n1,2,None\r\n2,2,first\r\n4,2,x, y\r\n";
    const std::string file = "5,4\r\n" + header + second + first + "4,3,beyond an empty note\r\n";
    NoteTable table = Read(file);
    EXPECT_EQ(table.StoredColCount(), 5);
    EXPECT_EQ(Written(table), file);

    table.SortRows(ColAlarm, SortDirection::Ascending); // the empty note first, then by date
    table.DeleteRow(1);
    EXPECT_EQ(Written(table),
              "5,3\r\n" + header +
                  "0,1,12/09/2026 09:00 AM\r\n1,1,None\r\n2,1,first\r\n4,1,x, y\r\n"
                  "0,2,12/10/2026 09:00 AM\r\n1,2,None\r\n2,2,second\r\n3,2,work\r\n");
    table.ClearRow(1);
    EXPECT_EQ(table.CellText(4, 1), "");
}

TEST(NotesFile, ALargeTableIsWrittenWholeInRowOrder) {
    NoteTable table;
    table.SetRowCount(5001); // some 300 KB of lines
    for (int row = 1; row < table.RowCount(); ++row) {
        table.SetCellText(ColAlarm, row, "12/09/2026 09:00 AM");
        table.SetCellText(ColNote, row,
                          "Note " + std::to_string(row) + (row % 7 ? "" : "\r\nmore"));
    }
    const std::string lines = Written(table);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1 + 3 + 3 + 2 * 5000);
    ExpectSameTable(Read(lines), table);
}

TEST(NotesFile, ReadingKeepsCellsTheFileDoesNotName) {
    const NoteTable table = Read("3,3\r\n2,2,new\r\n", WorkedExampleTable());
    EXPECT_EQ(table.CellText(ColAlarm, 2), "12/10/2026 09:00 AM");
    EXPECT_EQ(table.CellText(ColNote, 2), "new");
    EXPECT_EQ(Read("3,2\r\n", WorkedExampleTable()).RowCount(), 2) << "the size line is trusted";
}

TEST(NotesFile, HandsOverToTheWindowAfterEveryCellLine) {
    NoteTable table;
    int handed = 0;
    ReadNotes(table, "3,3\r\ncw 0,1\r\n0,1,a\r\n9,9,ignored\r\ncw 1,2\r\n1,1,b", [&] { ++handed; });
    EXPECT_EQ(handed, 3);
}

TEST_F(NotesFileOnDisk, SavesAndLoadsAMultiLineNote) {
    SaveNotesFile(WorkedExampleTable(), path);
    EXPECT_EQ(Content(), WorkedExample);
    NoteTable table;
    LoadNotesFile(table, path);
    ExpectSameTable(table, WorkedExampleTable());
    // A second save after the restart keeps both lines of the note.
    SaveNotesFile(table, path);
    EXPECT_EQ(Content(), WorkedExample);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
}

TEST_F(NotesFileOnDisk, ReportsAFileThatCannotBeOpened) {
    NoteTable table;
    const std::string missing = (folder / "missing.txt").string();
    const std::string directory = folder.string();
    for (const std::string& where : {missing, directory}) {
        try {
            LoadNotesFile(table, where);
            ADD_FAILURE() << where;
        } catch (const EAdvGridError& error) {
            EXPECT_EQ(error.what(), "Cannot open file " + where);
        }
    }
    ExpectSameTable(table, NoteTable{});
}

TEST_F(NotesFileOnDisk, ReportsAFileThatCannotBeCreatedAndLeavesNothingBehind) {
    const std::string inMissingFolder = (folder / "no" / "notes.txt").string();
    const std::string onAFolder = folder.string() + "/sub";
    fs::create_directory(onAFolder);
    for (const std::string& where : {inMissingFolder, onAFolder}) {
        try {
            SaveNotesFile(WorkedExampleTable(), where);
            ADD_FAILURE() << where;
        } catch (const EAdvGridError& error) {
            EXPECT_EQ(error.what(), "Cannot Create " + where);
        }
    }
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"sub"});
}

TEST_F(NotesFileOnDisk, AFailedSaveLeavesThePreviousFileAsItWas) {
    const std::string previous = WorkedExample + "2,2,and a line no writer makes\r\n";
    Put(previous);
    // The write fails half-way, the way a full disk makes it fail...
    auto halfThenFail = [](std::ostream& out) {
        const std::string lines = Written(WorkedExampleTable());
        out << lines.substr(0, lines.size() / 2);
        out.setstate(std::ios::badbit);
    };
    EXPECT_THROW(ReplaceFile(path, halfThenFail), EInOutError);
    EXPECT_EQ(Content(), previous);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
    // ... or something throws while the lines are written.
    auto halfThenThrow = [](std::ostream& out) {
        out << "3,3\r\ncw 0,";
        throw std::bad_alloc();
    };
    EXPECT_THROW(ReplaceFile(path, halfThenThrow), std::bad_alloc);
    EXPECT_EQ(Content(), previous);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
    // A save that succeeds replaces the file, also over a temporary file left by a crash.
    Put(previous);
    std::ofstream(path + ".tmp") << "left over";
    SaveNotesFile(NoteTable{}, path);
    EXPECT_EQ(Content().substr(0, 5), "3,2\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
}

namespace {

// The standard file system, with every call written down and the flush's answer chosen.
struct RecordingFileSystem final : FileSystem {
    mutable std::vector<std::string> calls;
    bool flushes = true;
    void CopyAttributes(const std::string&, const std::string& to) const override {
        calls.push_back("attributes " + fs::path(to).filename().string());
    }
    bool Flush(const std::string& path) const override {
        calls.push_back("flush " + fs::path(path).filename().string());
        return flushes;
    }
    bool Replace(const std::string& from, const std::string& to) const override {
        calls.push_back("replace " + fs::path(from).filename().string() + " " +
                        fs::path(to).filename().string());
        return StandardFileSystem{}.Replace(from, to);
    }
    std::string FromCodePage(std::string_view bytes) const override {
        return StandardFileSystem{}.FromCodePage(bytes);
    }
};

} // namespace

// The data reaches the disk before the new name does; a flush that fails is a failed save.
TEST_F(NotesFileOnDisk, TheTemporaryFileIsFlushedBeforeItReplacesTheFile) {
    Put(WorkedExample);
    RecordingFileSystem system;
    SaveNotesFile(NoteTable{}, path, system);
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{"attributes notes.txt.tmp", "flush notes.txt.tmp",
                                        "replace notes.txt.tmp notes.txt"}));
    system.flushes = false;
    EXPECT_THROW(SaveNotesFile(WorkedExampleTable(), path, system), EInOutError);
    EXPECT_EQ(Content().substr(0, 5), "3,2\r\n") << "the previous file stays";
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
}

TEST_F(NotesFileOnDisk, AStaleTemporaryFileNeverStopsASave) {
    const std::string stale = path + ".tmp";
    const std::string fresh = Written(NoteTable{});
    const struct {
        const char* what;
        std::function<void()> make;
    } leftovers[] = {
        {"a file", [&] { std::ofstream(stale) << "left over"; }},
        {"a read-only file",
         [&] {
             std::ofstream(stale) << "left over";
             fs::permissions(stale, fs::perms::owner_read);
         }},
        {"a folder with a file in it",
         [&] {
             fs::create_directory(stale);
             std::ofstream(stale + "/inside") << "kept";
         }},
    };
    for (const auto& leftover : leftovers) {
        SCOPED_TRACE(leftover.what);
        Put(WorkedExample);
        leftover.make();
        SaveNotesFile(NoteTable{}, path);
        EXPECT_EQ(Content(), fresh);
        // Cleared where that can be done; nothing else left behind.
        for (const std::string& name : FolderEntries())
            EXPECT_TRUE(name == "notes.txt" || name == "notes.txt.tmp") << name;
        std::error_code error;
        fs::permissions(stale, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(stale, error);
    }
}

TEST_F(NotesFileOnDisk, AReadOnlyFileRefusesTheSaveAndStaysAsItWas) {
    Put(WorkedExample);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    try {
        SaveNotesFile(NoteTable{}, path);
        ADD_FAILURE() << "saved over a read-only file";
    } catch (const EAdvGridError& error) {
        EXPECT_EQ(error.what(), "Cannot Create " + path);
    }
    EXPECT_EQ(Content(), WorkedExample);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(NotesFileOnDisk, WhatIsSavedLoadsAsTheSameTable) {
    NoteTable table = WorkedExampleTable();
    table.SetRowCount(5);
    table.SetCellText(ColNote, 3, "a\nb\r\n, \x01\xC3\xBF");
    table.SetCellText(ColNote, 4, "last, row");
    table.SetCellText(ColRepeat, 0, "");
    table.SetColWidth(ColAlarm, 0);
    table.SetColWidth(ColNote, NoteTable::MaxColWidth);
    SaveNotesFile(table, path);
    NoteTable loaded;
    loaded.SetCellText(ColRepeat, 0, ""); // an empty cell has no line to read back from
    LoadNotesFile(loaded, path);
    ExpectSameTable(loaded, table);
}

// Files of every encoding read as what the user wrote: UTF-8 with or without its mark, and the
// files of earlier versions in the 8-bit code page (Windows-1252 here). Every save is UTF-8.
TEST_F(NotesFileOnDisk, EachEncodingReadsAsItsTextAndSavesAsUtf8) {
    const std::string head = "3,2\r\n0,1,12/09/2026 09:00 AM\r\n1,1,None\r\n2,1,";
    const std::string cafe = "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"; // Café € “q”
    const std::string emoji =
        "\xE2\x98\x95 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD \xE6\x97\xA5"; // ☕ 👍🏽 日
    const struct {
        const char* what;
        std::string note, read;
    } cases[] = {
        {"code page", "Caf\xE9 \x80 \x93q\x94", cafe},
        {"UTF-8", emoji, emoji},
        {"UTF-8 with its mark", emoji, emoji}, // the mark goes before the whole file below
        {"overlong form", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"encoded surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        {"cut short", "\xE6\x97", "\xC3\xA6\xE2\x80\x94"},
        // With the mark the file is UTF-8, and a byte of no character shows as U+FFFD.
        {"ill-formed with its mark", "Caf\xE9 \xE2\x82\xAC", "Caf\uFFFD \u20AC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string mark = std::string_view(c.what).ends_with("mark") ? "\xEF\xBB\xBF" : "";
        Put(mark + head + c.note + "\r\n");
        NoteTable table;
        LoadNotesFile(table, path);
        EXPECT_EQ(table.CellText(ColNote, 1), c.read);
        EXPECT_EQ(table.CellText(ColAlarm, 1), "12/09/2026 09:00 AM");
        SaveNotesFile(table, path);
        NoteTable again;
        LoadNotesFile(again, path);
        EXPECT_EQ(again.CellText(ColNote, 1), c.read) << "round trip";
        EXPECT_EQ(Content().find("\xEF\xBB\xBF"), std::string::npos) << "no mark written";
    }
    // A file of plain ASCII is written as it always was.
    Put(WorkedExample);
    NoteTable table;
    LoadNotesFile(table, path);
    SaveNotesFile(table, path);
    EXPECT_EQ(Content(), WorkedExample);
}
