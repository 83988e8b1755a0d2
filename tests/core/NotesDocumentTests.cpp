// The notes document against another program that writes notes.txt: what it wrote is taken
// in, never written over, and the user's changes apply to the notes it names.
#include "notes/NotesDocument.h"

#include "tests/support/NotesFolder.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace quillet;
namespace fs = std::filesystem;

namespace {

using Texts = NotesDocument::NoteTexts;

std::string FileOf(const std::vector<Texts>& notes) {
    std::string file = "3," + std::to_string(notes.size() + 1) + "\r\n";
    int row = 1;
    for (const Texts& note : notes) {
        for (int col = 0; col < 3; ++col)
            file += std::to_string(col) + "," + std::to_string(row) + "," + note[col] + "\r\n";
        ++row;
    }
    return file;
}

class NotesDocumentTest : public NotesFolder {
protected:
    StandardFileSystem system;
    NotesDocument document{path, system};
    const Texts early{"01/05/2027 08:00 AM", "None", "Early"};
    const Texts late{"03/01/2027 09:00 AM", "Daily", "Late"};
    const Texts middle{"02/01/2027 07:00 PM", "Weekly", "From another machine"};

    // Another program writes the file. Its write time moves on for sure: two writes within
    // the file system's resolution would otherwise look alike.
    void PutOutside(const std::string& content) {
        const auto before = fs::exists(path) ? fs::last_write_time(path) : fs::file_time_type{};
        Put(content);
        fs::last_write_time(path,
                            std::max(fs::last_write_time(path), before + std::chrono::seconds(2)));
    }
    std::vector<Texts> Notes() const {
        std::vector<Texts> notes;
        for (int row = 1; row < document.Table().RowCount(); ++row)
            notes.push_back(document.NoteAt(row));
        return notes;
    }
    Texts Current() const { return document.NoteAt(document.Table().SelectedRow()); }
};

} // namespace

TEST_F(NotesDocumentTest, AnOutsideRewriteIsTakenInAndSurvivesTheNextChange) {
    Put(FileOf({late, early}));
    document.Load();
    EXPECT_EQ(Notes(), (std::vector<Texts>{early, late})) << "sorted by alarm at start";
    document.Table().SelectRow(2); // Late
    document.Table().SetColWidth(ColNote, 300);
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Unchanged);

    PutOutside(FileOf({early, late, middle}));
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Reloaded);
    EXPECT_EQ(Notes(), (std::vector<Texts>{early, middle, late})) << "sorted as the grid is";
    EXPECT_EQ(Current(), late) << "the current row follows its note";
    EXPECT_EQ(document.Table().ColWidth(ColNote), 300) << "the user's widths stay";
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Unchanged);

    const Texts added{"04/01/2027 10:00 AM", "None", "Added in Quillet"};
    document.Add(added);
    NoteTable saved;
    LoadNotesFile(saved, path);
    EXPECT_EQ(saved.RowCount(), 5);
    EXPECT_EQ(saved.CellText(ColNote, 2), "From another machine");
    EXPECT_EQ(saved.CellText(ColNote, 4), "Added in Quillet");
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Unchanged) << "its own save";
}

TEST_F(NotesDocumentTest, AChangeIsMadeToTheSameNoteWhereverItMoved) {
    Put(FileOf({early, late}));
    document.Load();
    document.Table().SelectRow(1); // Early, opened in the editor...
    // ... while another program puts a note before it.
    PutOutside(FileOf({middle, early, late}));
    const Texts edited{early[0], early[1], "Early, edited"};
    ASSERT_TRUE(document.Edit(early, edited));
    EXPECT_EQ(Notes(), (std::vector<Texts>{edited, middle, late}));
    EXPECT_EQ(Current(), edited);

    ASSERT_TRUE(document.Delete(middle));
    EXPECT_EQ(Notes(), (std::vector<Texts>{edited, late}));
    NoteTable saved;
    LoadNotesFile(saved, path);
    EXPECT_EQ(saved.RowCount(), 3);
}

TEST_F(NotesDocumentTest, ANoteChangedOrRemovedOutsideIsNotWrittenOver) {
    Put(FileOf({early, late}));
    document.Load();
    const std::string outside = FileOf({late});
    PutOutside(outside);
    EXPECT_FALSE(document.Edit(early, {early[0], early[1], "mine"}));
    EXPECT_EQ(Content(), outside);
    EXPECT_FALSE(document.Delete(early));
    EXPECT_EQ(Content(), outside);
    EXPECT_EQ(Notes(), std::vector<Texts>{late}) << "the table shows the file";
}

TEST_F(NotesDocumentTest, AFileThatIsGoneOrEmptiedNeverEmptiesTheTable) {
    Put(FileOf({early, late}));
    document.Load();
    for (const bool remove : {true, false}) {
        SCOPED_TRACE(remove ? "removed" : "emptied");
        if (remove)
            fs::remove(path);
        else
            PutOutside("");
        EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Unchanged);
        EXPECT_EQ(Notes(), (std::vector<Texts>{early, late}));
    }
    // Written whole again, it is read again.
    PutOutside(FileOf({middle}));
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Reloaded);
    EXPECT_EQ(Notes(), std::vector<Texts>{middle});
}

TEST_F(NotesDocumentTest, AFileRewrittenWithTheSameNotesIsNoChange) {
    Put(FileOf({early, late}));
    document.Load();
    document.Table().SelectRow(2);
    PutOutside(FileOf({early, late}) + "cw 2,500\r\n");
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Unchanged);
    EXPECT_EQ(Current(), late);
    EXPECT_EQ(document.Table().ColWidth(ColNote), 168);
}
