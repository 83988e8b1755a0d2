#include "base/AppFolder.h"

namespace quillet {

std::string AppFolderOf(std::string_view exePath) {
    auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    std::string_view folder = exePath.substr(0, exePath.find_last_of("\\/:") + 1);
    while (!folder.empty() && isSeparator(folder.back())) folder.remove_suffix(1);
    return std::string(folder) + '\\';
}

} // namespace quillet
