#include "app/SettingsFile.h"

#include "base/Errors.h"
#include "win32/Text.h"

#include <windows.h>

#include <charconv>

namespace quillet {

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    wchar_t wide[64];
    const DWORD length =
        GetPrivateProfileStringW(win32::Wide(section).c_str(), win32::Wide(key).c_str(), L"", wide,
                                 DWORD(std::size(wide)), win32::Wide(path_).c_str());
    const std::string text = win32::Utf8({wide, length});
    const char* begin = text.data();
    const char* end = begin + text.size();
    // from_chars takes a "-" but no "+".
    if (begin != end && *begin == '+' && ++begin != end && *begin == '-') return def;
    int value;
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && begin != end ? value : def;
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key,
                                int value) const {
    if (!WritePrivateProfileStringW(win32::Wide(section).c_str(), win32::Wide(key).c_str(),
                                    std::to_wstring(value).c_str(), win32::Wide(path_).c_str()))
        throw Exception("Unable to write to " + path_);
}

} // namespace quillet
