#pragma once
// The settings file, a private-profile text file of sections and integer keys. Writing a key
// changes that key only and keeps the rest of the file.
#include <string>
#include <utility>

namespace quillet {

class SettingsFile {
public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    // The key's value, or def when the file, the section or the key is missing, or when the
    // value is not a whole number in the range of int.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // Writes the value in decimal. Throws Exception "Unable to write to <path>" on failure.
    void WriteInteger(const std::string& section, const std::string& key, int value) const;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace quillet
