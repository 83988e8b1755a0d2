#include "app/SettingsFile.h"

#include "base/Errors.h"

#include <windows.h>

#include <charconv>

namespace quillet {

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    char text[64];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", text,
                                                  sizeof text, path_.c_str());
    const char* begin = text;
    const char* end = text + length;
    // from_chars takes a "-" but no "+".
    if (begin != end && *begin == '+' && ++begin != end && *begin == '-') return def;
    int value;
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && begin != end ? value : def;
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key,
                                int value) const {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), std::to_string(value).c_str(),
                                    path_.c_str()))
        throw Exception("Unable to write to " + path_);
}

} // namespace quillet
