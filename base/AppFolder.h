#pragma once
// The folder in which every data file lives: the running executable's own folder, so that
// the working directory plays no part.
#include <string>
#include <string_view>

namespace quillet {

// The folder part of an executable's full path, ending in exactly one "\". Both "\" and "/"
// separate folders, as they do for Windows.
std::string AppFolderOf(std::string_view exePath);

} // namespace quillet
