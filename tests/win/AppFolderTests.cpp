#include "app/AppFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace quillet;

TEST(AppFolder, IsTheRunningExecutablesFolder) {
    const std::string& folder = AppFolder();
    ASSERT_GE(folder.size(), 2u);
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(folder[folder.size() - 2], '\\');
    DWORD attributes = GetFileAttributesA((folder + "win_tests.exe").c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
    EXPECT_EQ(NotesFileName(), folder + "notes.txt");
    EXPECT_EQ(SettingsFileName(), folder + "quillet.ini");
    EXPECT_EQ(HelpFileName(), folder + "quillet.chm");
}
