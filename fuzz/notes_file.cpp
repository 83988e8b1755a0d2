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
const std::filesystem::path folder = [] {
    std::error_code error;
    const std::filesystem::path root = std::filesystem::is_directory("/dev/shm", error)
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    return root / ("quillet-fuzz-" + std::to_string(std::random_device{}()));
}();

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
    // Made and removed within each run: libFuzzer ends without running static destructors.
    std::filesystem::create_directories(folder);
    const std::string input = (folder / "input.txt").string();
    const std::string saved = (folder / "notes.txt").string();
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data), size);

    NoteTable first;
    LoadNotesFile(first, input);
    if (first.RowCount() < 2 || first.RowCount() > NoteTable::MaxRowCount) std::abort();
    SaveNotesFile(first, saved);
    NoteTable second;
    LoadNotesFile(second, saved);
    if (!SameTable(first, second)) std::abort();
    if (std::filesystem::exists(saved + ".tmp")) std::abort();
    std::filesystem::remove_all(folder);
    return 0;
}
