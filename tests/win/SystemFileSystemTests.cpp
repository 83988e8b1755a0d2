// Saving the notes file where Windows keeps attributes: a read-only file is refused, the
// others are kept, a temporary file another program holds open is passed over, and the data
// and the rename are forced onto the disk.
#include "win32/SystemFileSystem.h"

#include "base/Errors.h"
#include "notes/NotesFile.h"
#include "tests/support/NotesFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

using namespace quillet;

namespace {

class SavingOnWindows : public NotesFolder {
protected:
    const std::string old = "3,2\r\n0,1,12/09/2026 09:00 AM\r\n1,1,None\r\n";
    const win32::SystemFileSystem system;

    void SetUp() override {
        NotesFolder::SetUp();
        Put(old);
    }
    void TearDown() override {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        NotesFolder::TearDown();
    }
    DWORD Attributes() const { return GetFileAttributesA(path.c_str()); }
};

} // namespace

// Windows refuses to replace a read-only file; Wine lets a rename do it. The attribute decides.
TEST_F(SavingOnWindows, AReadOnlyNotesFileRefusesTheSaveAndStaysAsItWas) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        SaveNotesFile(NoteTable{}, path, system);
        ADD_FAILURE() << "saved over a read-only file";
    } catch (const EAdvGridError& error) {
        EXPECT_STREQ(error.what(), ("Cannot Create " + path).c_str());
    }
    EXPECT_EQ(Content(), old);
    EXPECT_TRUE(Attributes() & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
}

TEST_F(SavingOnWindows, TheSavedFileKeepsTheAttributesOfTheOneItReplaces) {
    const struct {
        DWORD before, after;
    } cases[] = {
        {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE}, // it changed
        {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_ARCHIVE},
    };
    constexpr DWORD shown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_READONLY;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.before));
        SaveNotesFile(NoteTable{}, path, system);
        EXPECT_EQ(Attributes() & shown, c.after);
        EXPECT_EQ(Content().substr(0, 5), "3,2\r\n");
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
    }
}

TEST_F(SavingOnWindows, ATemporaryFileHeldOpenByAnotherProgramIsPassedOver) {
    const std::string stale = path + ".tmp";
    std::ofstream(stale) << "left over";
    const HANDLE held = CreateFileA(stale.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SaveNotesFile(NoteTable{}, path, system);
    CloseHandle(held);
    EXPECT_EQ(Content().substr(0, 5), "3,2\r\n");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"notes.txt", "notes.txt.tmp"}));
}

// What makes the save durable: the temporary file's buffers are flushed through a handle of
// its own (which needs write access, and so fails for a file that is not there), and the
// replace goes through MoveFileEx, write-through, over an existing file.
TEST_F(SavingOnWindows, FlushAndReplaceWorkOnRealFiles) {
    const std::string temporary = path + ".tmp";
    std::ofstream(temporary, std::ios::binary) << "3,2\r\n";
    EXPECT_TRUE(system.Flush(temporary));
    EXPECT_FALSE(system.Flush(path + ".missing"));
    EXPECT_TRUE(system.Replace(temporary, path));
    EXPECT_EQ(Content(), "3,2\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notes.txt"});
    EXPECT_FALSE(system.Replace(temporary, path)) << "the temporary file is gone";
}

// Notes files of earlier versions are in the system's code page: 1252 under this Wine.
TEST_F(SavingOnWindows, AFileInTheCodePageReadsAsItsText) {
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(system.FromCodePage("Caf\xE9 \x80 \x93q\x94"), "Caf\u00E9 \u20AC \u201Cq\u201D");
    Put("3,2\r\n0,1,12/09/2026 09:00 AM\r\n1,1,None\r\n2,1,Caf\xE9\r\n");
    NoteTable table;
    LoadNotesFile(table, path, {}, system);
    EXPECT_EQ(table.CellText(ColNote, 1), "Caf\u00E9");
    SaveNotesFile(table, path, system);
    EXPECT_NE(Content().find("2,1,Caf\xC3\xA9\r\n"), std::string::npos) << "saved as UTF-8";
}
