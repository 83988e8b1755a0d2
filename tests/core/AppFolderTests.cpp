#include "base/AppFolder.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(AppFolder, FolderPartWithExactlyOneTrailingBackslash) {
    const struct {
        const char *exePath, *want;
    } cases[] = {
        {R"(C:\Program Files\Quillet\quillet.exe)", R"(C:\Program Files\Quillet\)"},
        {R"(C:\quillet.exe)", R"(C:\)"},
        {R"(C:\Tools\\quillet.exe)", R"(C:\Tools\)"},
        {R"(\\server\share\quillet.exe)", R"(\\server\share\)"},
        {R"(\\?\C:\a very long\path\quillet.exe)", R"(\\?\C:\a very long\path\)"},
        {"Z:/tmp/fresh/quillet.exe", "Z:/tmp/fresh\\"},
        {R"(C:\dir.with.dots\quillet)", R"(C:\dir.with.dots\)"},
    };
    for (const auto& c : cases) EXPECT_EQ(AppFolderOf(c.exePath), c.want) << c.exePath;
}
