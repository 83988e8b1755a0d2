// The About dialog, shown for real and driven from inside its modal loop.
#include "DialogScript.h"
#include "app/uAbout.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillet;
using test::DialogScript;
using test::PressKey;

namespace {

RECT PlaceOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<LONG> Corners(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// Whether the label's text fits on one line of its width, in its own font.
bool FitsOneLine(HWND label) {
    const HDC dc = GetDC(label);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    const win32::Selection selected(dc, font);
    const std::string text = win32::WindowText(label);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
    ReleaseDC(label, dc);
    RECT client{};
    GetClientRect(label, &client);
    return extent.cx <= client.right;
}

} // namespace

TEST(About, ShowsItsTextsCentredOnTheScreenWithOKTheOnlyFocus) {
    RECT client{}, frame{};
    std::vector<std::string> texts;
    std::vector<std::vector<LONG>> places;
    bool onlyOK = false, textsFit = false;
    DialogScript script("About", {[&](HWND dialog) {
                            GetClientRect(dialog, &client);
                            GetWindowRect(dialog, &frame);
                            for (const int id : {IDC_ABOUT_NAME, IDC_ABOUT_VERSION,
                                                 IDC_ABOUT_RIGHTS, IDC_ABOUT_LINK, IDOK}) {
                                texts.push_back(win32::WindowText(GetDlgItem(dialog, id)));
                                places.push_back(Corners(PlaceOf(dialog, id)));
                            }
                            textsFit = FitsOneLine(GetDlgItem(dialog, IDC_ABOUT_NAME)) &&
                                       FitsOneLine(GetDlgItem(dialog, IDC_ABOUT_VERSION)) &&
                                       FitsOneLine(GetDlgItem(dialog, IDC_ABOUT_RIGHTS));
                            const HWND ok = GetDlgItem(dialog, IDOK);
                            onlyOK = GetFocus() == ok && GetNextDlgTabItem(dialog, ok, FALSE) == ok;
                            SendMessageA(ok, BM_CLICK, 0, 0);
                        }});
    ShowAbout(nullptr);
    ASSERT_TRUE(script.Completed());
    EXPECT_EQ(client.right, 273);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    EXPECT_EQ(texts, (std::vector<std::string>{"Quillet", "Version 1.01",
                                               "Copyright (C) 2026 Quillet developers", "", "OK"}));
    EXPECT_EQ(places, (std::vector<std::vector<LONG>>{{81, 12, 191, 41},
                                                      {102, 43, 171, 57},
                                                      {27, 60, 246, 74},
                                                      {81, 77, 193, 94},
                                                      {90, 106, 190, 136}}));
    EXPECT_TRUE(textsFit);
    EXPECT_TRUE(onlyOK);
}

TEST(About, EnterSpaceAndTheCloseBoxEndItButEscDoesNot) {
    const struct {
        const char* how;
        void (*close)(HWND dialog);
    } closers[] = {
        {"Enter", [](HWND dialog) { PressKey(GetDlgItem(dialog, IDOK), VK_RETURN); }},
        {"space", [](HWND dialog) { PressKey(GetDlgItem(dialog, IDOK), VK_SPACE); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.how);
        DialogScript script(
            "About",
            {[](HWND dialog) { PressKey(GetDlgItem(dialog, IDOK), VK_ESCAPE); }, closer.close});
        ShowAbout(nullptr);
        EXPECT_TRUE(script.Completed());
    }
}

TEST(About, APressOnTheLinkOpensTheWebSiteAndTheDialogStaysOpen) {
    TfrmAbout frmAbout;
    std::vector<std::string> opened;
    frmAbout.HTMLabel1.OpenLink = [&](const std::string& target) { opened.push_back(target); };
    std::vector<std::string> openedBeforeClosing;
    DialogScript script("About", {[](HWND dialog) {
                                      SendMessageA(GetDlgItem(dialog, IDC_ABOUT_LINK),
                                                   WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(56, 8));
                                  },
                                  [&](HWND dialog) {
                                      openedBeforeClosing = opened;
                                      SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                                  }});
    frmAbout.ShowModal(nullptr);
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(openedBeforeClosing, std::vector<std::string>{"https://quillet.example.org"});
    EXPECT_EQ(opened.size(), 1u);
}

TEST(About, DrawsTheLogoTransparentlyAndTheNameInDarkBlueOnThePanel) {
    int magenta = 0, panel = 0, nameInk = 0;
    DialogScript script("About", {[&](HWND dialog) {
                            const test::ClientPicture picture(dialog);
                            const RECT image1{11, 4, 59, 52};
                            magenta = picture.Count(image1, Color::FromRgb(255, 0, 255));
                            // The panel's shade in the logo's top row, where the key colour is.
                            panel = picture.Count({11, 4, 59, 5}, picture.At(2, 4));
                            nameInk = picture.Count(PlaceOf(dialog, IDC_ABOUT_NAME), DarkBlue);
                            SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                        }});
    ShowAbout(nullptr);
    ASSERT_TRUE(script.Completed());
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(panel, 0);
    EXPECT_GT(nameInk, 50);
}
