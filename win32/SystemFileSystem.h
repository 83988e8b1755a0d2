#pragma once
// The notes file's saves as Windows keeps files: attributes (hidden, system, archive and the
// like) carried over, and the data and the new name forced onto the disk.
#include "notes/NotesFile.h"

namespace quillet::win32 {

class SystemFileSystem final : public FileSystem {
public:
    // The new content counts as changed, so `to` is marked for archiving, as any write in
    // place marks a file. A failure leaves `to` as it is: the content matters more.
    void CopyAttributes(const std::string& from, const std::string& to) const override;
    // FlushFileBuffers through a handle of its own: it writes out every buffered byte of the
    // file, whichever handle wrote it.
    bool Flush(const std::string& path) const override;
    // MoveFileEx with MOVEFILE_WRITE_THROUGH: it returns only once the rename is on the disk.
    bool Replace(const std::string& from, const std::string& to) const override;
    // The system's ANSI code page (CP_ACP), as the notes files of earlier versions were written.
    std::string FromCodePage(std::string_view bytes) const override;
};

// Whether a new file can be made in the folder (a path ending in a separator), tried with a
// file made and removed at once. A folder such as Program Files lets a program read but not
// write without elevation.
bool CanCreateFilesIn(const std::string& folder);

} // namespace quillet::win32
