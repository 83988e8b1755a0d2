#include "notes/NotesFile.h"
#include "win32/MessageLoop.h"
#include "win32/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

using namespace quillet;
namespace fs = std::filesystem;

namespace {

// A hidden window that runs a function for the message it is posted.
class Listener final : public win32::Window {
public:
    static constexpr UINT Message = WM_APP + 7;
    std::function<void()> onMessage;

    Listener() { Create("QuilletTestListener", {}, 0, WS_POPUP, "", 0, 0, 0, 0, nullptr); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != Message) return Window::HandleMessage(message, wParam, lParam);
        onMessage();
        return 0;
    }
};

} // namespace

TEST(ProcessMessagesNowAndThen, APostedMessageIsHandledDuringTheLoadOfALargeFile) {
    const fs::path path =
        fs::temp_directory_path() / ("quillet-load-" + std::to_string(std::random_device{}()));
    constexpr int notes = 20'000;
    NoteTable large;
    large.SetRowCount(notes + 1);
    for (int row = 1; row <= notes; ++row) {
        large.SetCellText(ColAlarm, row, "12/09/2026 09:00 AM");
        large.SetCellText(ColRepeat, row, "Daily");
        large.SetCellText(ColNote, row, "Note " + std::to_string(row));
    }
    SaveNotesFile(large, path.string());

    NoteTable loading;
    Listener listener;
    int handled = 0;
    bool lastNoteReadThen = true;
    listener.onMessage = [&] {
        ++handled;
        lastNoteReadThen = !loading.CellText(ColNote, notes).empty();
    };
    PostMessageA(listener.Handle(), Listener::Message, 0, 0);
    LoadNotesFile(loading, path.string(), win32::ProcessMessagesNowAndThen{});
    fs::remove(path);

    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(lastNoteReadThen) << "the message waited until the load had ended";
    EXPECT_EQ(loading.CellText(ColNote, notes), "Note 20000");
}
