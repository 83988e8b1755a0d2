#include "app/StartWithWindows.h"

#include "base/Errors.h"

#include <windows.h>

#include <system_error>

namespace quillet {

namespace {

constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* ValueName = "Quillet";

// Quoted, so that a path with blanks is read as one program, not as a program and arguments.
std::string Command(const std::string& exe) {
    return '"' + exe + '"';
}

[[noreturn]] void Refused(LSTATUS status) {
    throw Exception("Cannot change Start with Windows: " +
                    std::system_category().message(int(status)));
}

} // namespace

bool StartsWithWindows(const std::string& exe) {
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, RunKey, ValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return false;
    std::string value(size, '\0');
    if (RegGetValueA(HKEY_CURRENT_USER, RunKey, ValueName, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS)
        return false;
    value.resize(lstrlenA(value.c_str()));
    // Paths name the same file whatever their letters' case.
    return lstrcmpiA(value.c_str(), Command(exe).c_str()) == 0;
}

void SetStartWithWindows(const std::string& exe, bool start) {
    LSTATUS status;
    if (start) {
        const std::string command = Command(exe);
        status = RegSetKeyValueA(HKEY_CURRENT_USER, RunKey, ValueName, REG_SZ, command.c_str(),
                                 DWORD(command.size() + 1));
    } else {
        status = RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, ValueName);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS; // gone already
    }
    if (status != ERROR_SUCCESS) Refused(status);
}

} // namespace quillet
