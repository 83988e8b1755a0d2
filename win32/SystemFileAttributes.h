#pragma once
// File attributes as Windows keeps them: hidden, system, archive and the like.
#include "store/NotesFile.h"

namespace quillet::win32 {

class SystemFileAttributes final : public FileAttributes {
public:
    // The new content counts as changed, so `to` is marked for archiving, as any write in
    // place marks a file. A failure leaves `to` as it is: the content matters more.
    void Copy(const std::string& from, const std::string& to) const override;
};

} // namespace quillet::win32
