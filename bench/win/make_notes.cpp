// Writes the benchmarks' table of n notes as a notes file: make_notes <n> <path>.
#include "bench/SyntheticNotes.h"
#include "notes/NotesFile.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_notes <n> <path>\n");
        return 2;
    }
    quillet::SaveNotesFile(quillet::SyntheticNotes(std::atoi(argv[1])), argv[2]);
    return 0;
}
