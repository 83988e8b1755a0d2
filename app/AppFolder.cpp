#include "app/AppFolder.h"

#include "base/AppFolder.h"
#include "win32/Text.h"

#include <windows.h>

namespace quillet {

// GetModuleFileNameW cuts the path to the buffer's size without failing, so the buffer grows
// until the whole path fits: a cut path would put every data file in the wrong folder.
std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return win32::Utf8(path);
        }
        path.resize(path.size() * 2);
    }
}

const std::string& AppFolder() {
    static const std::string folder = AppFolderOf(ExecutablePath());
    return folder;
}

std::string NotesFileName() {
    return AppFolder() + "notes.txt";
}
std::string SettingsFileName() {
    return AppFolder() + "quillet.ini";
}
std::string HelpFileName() {
    return AppFolder() + "quillet.chm";
}

} // namespace quillet
