#include "win32/SystemFileAttributes.h"

#include <windows.h>

namespace quillet::win32 {

void SystemFileAttributes::Copy(const std::string& from, const std::string& to) const {
    const DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    // The attributes a program may set, but read-only: a save never replaces a read-only
    // file, and a read-only temporary file could not be cleared away. The others (compressed,
    // encrypted, ...) belong to the file system.
    constexpr DWORD settable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                               FILE_ATTRIBUTE_OFFLINE;
    SetFileAttributesA(to.c_str(), (attributes & settable) | FILE_ATTRIBUTE_ARCHIVE);
}

} // namespace quillet::win32
