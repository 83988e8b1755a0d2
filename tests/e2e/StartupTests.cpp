#include "Harness.h"

#include <gtest/gtest.h>

using namespace quillet::e2e;

TEST(Startup, SecondCopyShowsTheNoticeAndEndsWhileTheFirstRunsOn) {
    AppFolderCopy app;
    Process first(app.ExePath());
    HWND mainWindow = WaitForWindow(first.Id(), MAIN_WINDOW_CLASS, "Quillet");
    ASSERT_TRUE(mainWindow) << "the first copy made no main window";
    EXPECT_FALSE(IsVisible(mainWindow));

    Process second(app.ExePath());
    HWND box = WaitForWindow(second.Id(), DialogClass);
    ASSERT_TRUE(box) << "the second copy showed no notice";
    EXPECT_EQ(WindowText(box), "Information");
    EXPECT_EQ(WindowText(GetDlgItem(box, MessageBoxTextId)),
              "Quillet is already running.\r\nDouble-click the Yellow Note icon near your clock.");
    std::vector<int> buttons;
    for (const Child& child : Children(box))
        if (child.className == "Button") buttons.push_back(child.id);
    EXPECT_EQ(buttons, std::vector<int>{IDOK});
    EXPECT_EQ(TopLevelWindows(second.Id(), DialogClass).size(), 1u);
    EXPECT_TRUE(TopLevelWindows(second.Id(), MAIN_WINDOW_CLASS).empty());

    PressButton(box, IDOK);
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_TRUE(first.Running());

    ExitFromTrayMenu(first.Id(), WaitForWindow(first.Id(), TRAY_WINDOW_CLASS));
    EXPECT_EQ(first.WaitForExit(), 0u);
    EXPECT_EQ(app.FileNames(), std::vector<std::string>{"quillet.exe"});
}
