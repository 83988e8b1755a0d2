#include "app/StartWithWindows.h"

#include "base/Errors.h"
#include "win32/Text.h"

#include <windows.h>

#include <system_error>

namespace quillet {

namespace {

constexpr const wchar_t* RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* ValueName = L"Quillet";

// Quoted, so that a path with blanks is read as one program, not as a program and arguments.
// In UTF-16, so that a folder named in any script is found by Windows as it is.
std::wstring Command(const std::string& exe) {
    return L'"' + win32::Wide(exe) + L'"';
}

[[noreturn]] void Refused(LSTATUS status) {
    throw Exception("Cannot change Start with Windows: " +
                    std::system_category().message(int(status)));
}

} // namespace

bool StartsWithWindows(const std::string& exe) {
    DWORD size = 0; // in bytes
    if (RegGetValueW(HKEY_CURRENT_USER, RunKey, ValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return false;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, RunKey, ValueName, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS)
        return false;
    value.resize(std::size_t(lstrlenW(value.c_str())));
    // Paths name the same file whatever their letters' case.
    return lstrcmpiW(value.c_str(), Command(exe).c_str()) == 0;
}

void SetStartWithWindows(const std::string& exe, bool start) {
    LSTATUS status;
    if (start) {
        const std::wstring command = Command(exe);
        status = RegSetKeyValueW(HKEY_CURRENT_USER, RunKey, ValueName, REG_SZ, command.c_str(),
                                 DWORD((command.size() + 1) * sizeof(wchar_t)));
    } else {
        status = RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey, ValueName);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS; // gone already
    }
    if (status != ERROR_SUCCESS) Refused(status);
}

} // namespace quillet
