// Add, Edit and Delete on the main window with 10,000 and 100,000 notes, each timed from the
// command to the next idle moment: the table changed, the file saved, and every message the
// command left behind (the grid's repaint) handled. The dialogs answer at once, so what is
// timed is the program's own work; the tray icon is not shown. Beside the figures, the same
// run's save of that table alone, the least a command that writes the whole file costs, and
// a repaint of the whole window alone.
//
//   bench_commands [runs]      (5 unless given; prints medians in milliseconds)
#include "app/uMain.h"
#include "bench/SyntheticNotes.h"
#include "notes/NotesFile.h"
#include "win32/SystemFileSystem.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace quillet;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Answers every question with Yes and every editor with OK, changing nothing but the text.
struct AnsweringDialogs final : Dialogs {
    bool Confirm(const std::string&) override { return true; }
    void ShowError(const std::string& message) override {
        std::fprintf(stderr, "error: %s\n", message.c_str());
    }
    void Inform(const std::string& text) override {
        std::fprintf(stderr, "notice: %s\n", text.c_str());
    }
    bool EditNote(NoteFields& fields) override {
        if (fields.repeatIndex < 0) fields.repeatIndex = 2;
        fields.note = "Changed by the benchmark";
        return true;
    }
    void About() override {}
    void Help(UINT, ULONG_PTR) override {}
};

// Until the queue is empty: the program would wait for input now.
void HandleUntilIdle() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Measure(int notes, int runs) {
    const fs::path folder = fs::temp_directory_path() / ("quillet-bench-" + std::to_string(notes));
    fs::create_directories(folder);
    const MainWindowFiles files{(folder / "notes.txt").string(), (folder / "quillet.ini").string()};
    SaveNotesFile(SyntheticNotes(notes), files.notes);
    {
        AnsweringDialogs dialogs;
        TfrmMain frmMain(dialogs, files);
        frmMain.CoolTrayIcon1DblClick(); // the window shows, as the user works in it
        HandleUntilIdle();
        const HWND window = frmMain.Handle();
        auto command = [&](MainCommand id) {
            return Milliseconds([&] {
                SendMessageA(window, WM_COMMAND, id, 0);
                HandleUntilIdle();
            });
        };
        const win32::SystemFileSystem durable; // as the commands save
        std::vector<double> add, edit, del, save, unflushed, repaint;
        for (int run = 0; run < runs; ++run) {
            add.push_back(command(cmdAdd));
            frmMain.Notes().SelectRow(frmMain.Notes().RowCount() / 2);
            edit.push_back(command(cmdEdit));
            del.push_back(command(cmdDelete));
            save.push_back(
                Milliseconds([&] { SaveNotesFile(frmMain.Notes(), files.notes, durable); }));
            // What flushing the data and writing the rename through cost.
            unflushed.push_back(Milliseconds([&] { SaveNotesFile(frmMain.Notes(), files.notes); }));
            repaint.push_back(Milliseconds([&] {
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
                HandleUntilIdle();
            }));
        }
        std::printf("%7d notes: add %6.1f ms, edit %6.1f ms, delete %6.1f ms; reference: save alone"
                    " %6.1f ms (%6.1f ms without flushing), repaint alone %6.1f ms\n",
                    notes, Median(add), Median(edit), Median(del), Median(save), Median(unflushed),
                    Median(repaint));
    }
    fs::remove_all(folder);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // The benchmark's window stays off the notification area.
    TCoolTrayIcon::NotifyIcon = [](DWORD, const NOTIFYICONDATAW&) {};
    for (int notes : {10'000, 100'000}) Measure(notes, runs);
    std::fflush(stdout);
    return 0;
}
