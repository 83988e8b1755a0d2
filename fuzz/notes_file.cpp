// Any bytes read as a notes file, in memory: the table stays within its bounds, what is written
// from it reads back as the same table, and writing that again gives the same bytes. The save
// to disk has a target of its own (notes_file_save), slower by its file operations.
#include "TableCheck.h"

#include <cstdint>

using namespace quillet;
using namespace quillet::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (AsksForManyRows(bytes)) return 0;
    const NoteTable first = ReadFrom(bytes);
    CheckBounds(first);
    const std::string written = WrittenFrom(first);
    const NoteTable second = ReadFrom(written);
    Check(ReadsBackAs(first, second));
    Check(WrittenFrom(second) == written);
    return 0;
}
