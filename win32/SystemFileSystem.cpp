#include "win32/SystemFileSystem.h"

#include "win32/Handles.h"
#include "win32/Text.h"

#include <windows.h>

namespace quillet::win32 {

void SystemFileSystem::CopyAttributes(const std::string& from, const std::string& to) const {
    const DWORD attributes = GetFileAttributesW(Wide(from).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    // The attributes a program may set, but read-only: a save never replaces a read-only
    // file, and a read-only temporary file could not be cleared away. The others (compressed,
    // encrypted, ...) belong to the file system.
    constexpr DWORD settable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                               FILE_ATTRIBUTE_OFFLINE;
    SetFileAttributesW(Wide(to).c_str(), (attributes & settable) | FILE_ATTRIBUTE_ARCHIVE);
}

bool SystemFileSystem::Flush(const std::string& path) const {
    // Write access is what FlushFileBuffers asks of the handle; nobody else has the
    // temporary file open.
    const auto file = OwnedFile(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.get());
}

bool SystemFileSystem::Replace(const std::string& from, const std::string& to) const {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string SystemFileSystem::FromCodePage(std::string_view bytes) const {
    if (bytes.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), wide.data(), length);
    return Utf8(wide);
}

bool CanCreateFilesIn(const std::string& folder) {
    // Gone again as the handle closes, however the program ends.
    const auto probe = OwnedFile(
        CreateFileW(Wide(folder + "quillet-probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return bool(probe);
}

} // namespace quillet::win32
