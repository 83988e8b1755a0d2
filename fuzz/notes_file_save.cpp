// Any notes file saved to disk and loaded again: the file holds exactly the table's lines, it
// loads as the same table, and no temporary file is left beside it.
#include "TableCheck.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>

using namespace quillet;
using namespace quillet::fuzz;

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (AsksForManyRows(bytes)) return 0;
    const NoteTable first = ReadFrom(bytes);
    // Made and removed within each run: libFuzzer ends without running static destructors.
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "notes.txt").string();
    SaveNotesFile(first, path);
    std::ifstream in(path, std::ios::binary);
    Check(std::string(std::istreambuf_iterator<char>(in), {}) == WrittenFrom(first));
    in.close();
    NoteTable second;
    LoadNotesFile(second, path);
    Check(ReadsBackAs(first, second));
    Check(std::distance(std::filesystem::directory_iterator(folder), {}) == 1);
    std::filesystem::remove_all(folder);
    return 0;
}
