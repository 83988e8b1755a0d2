// Any file loads without a crash, and what is saved from it loads back as the same table.
#include "store/NotesFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

using namespace quillet;

namespace {

// A folder of its own per fuzzing process, so that parallel jobs do not share files; in memory
// where the system offers it, because replacing a file on a disk may wait for the disk.
std::filesystem::path TemporaryRoot() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? "/dev/shm"
               : std::filesystem::temp_directory_path();
}

struct Folder {
    std::filesystem::path path =
        TemporaryRoot() / ("quillet-fuzz-" + std::to_string(std::random_device{}()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() { std::filesystem::remove_all(path); }
} folder;

bool SameTable(const NoteTable& a, const NoteTable& b) {
    if (a.RowCount() != b.RowCount()) return false;
    for (int col = 0; col < NoteTable::ColCount; ++col) {
        if (a.ColWidth(col) != b.ColWidth(col)) return false;
        for (int row = 0; row < a.RowCount(); ++row)
            if (a.CellText(col, row) != b.CellText(col, row)) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = (folder.path / "input.txt").string();
    const std::string saved = (folder.path / "notes.txt").string();
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data), size);

    NoteTable first;
    LoadNotesFile(first, input);
    if (first.RowCount() < 2 || first.RowCount() > NoteTable::MaxRowCount) std::abort();
    SaveNotesFile(first, saved);
    NoteTable second;
    LoadNotesFile(second, saved);
    if (!SameTable(first, second)) std::abort();
    if (std::filesystem::exists(saved + ".tmp")) std::abort();
    return 0;
}
