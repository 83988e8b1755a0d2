#pragma once
// The desktop of the reminder popup, faked: a window that records what is done to it, and a
// log of the calls that matter for the order in which the popup comes up.
#include "alerts/AdvAlertWindow.h"
#include "tests/support/RecordingCanvas.h"

#include <functional>
#include <string>
#include <vector>

namespace quillet {

struct FakePopupHost : PopupHost {
    explicit FakePopupHost(std::vector<std::string>& log) : log(log) {}

    std::vector<std::string>& log;
    Rect bounds;
    bool visible = false;
    std::vector<int> opacities; // every opacity set, in order
    std::vector<Rect> repaints;
    std::string hint;
    bool pointingHand = false, captured = false, scrollRepeat = false;
    int ownerFocused = 0;
    int announced = 0;
    RecordingCanvas measuring;

    Rect Bounds() const override { return bounds; }
    void SetBounds(const Rect& b) override {
        bounds = b;
        log.push_back("bounds " + std::to_string(b.left) + "," + std::to_string(b.top) + " " +
                      std::to_string(b.Width()) + "x" + std::to_string(b.Height()));
    }
    bool Visible() const override { return visible; }
    void ShowTopmost() override {
        visible = true;
        log.push_back("show topmost");
    }
    void Hide() override {
        visible = false;
        log.push_back("hide");
    }
    void SetOpacity(int opacity) override {
        opacities.push_back(opacity);
        log.push_back("opacity " + std::to_string(opacity));
    }
    void Repaint(const Rect& area) override { repaints.push_back(area); }
    Canvas& MeasuringCanvas() override { return measuring; }
    void SetHint(const std::string& h) override { hint = h; }
    void SetPointingHand(bool hand) override { pointingHand = hand; }
    void CapturePointer() override { captured = true; }
    void ReleasePointer() override { captured = false; }
    void SetScrollRepeat(bool on) override { scrollRepeat = on; }
    void FocusOwner() override { ++ownerFocused; }
    void Announce() override { ++announced; }

    // The menus opened: their items, the ticked one and where; each answered with menuAnswer.
    struct Menu {
        std::vector<std::string> items;
        int checked;
        Point at;
    };
    std::vector<Menu> menus;
    int menuAnswer = -1;
    std::function<void()> whileMenuOpen; // what happens while the user looks at the menu
    int ChooseFromMenu(const std::vector<std::string>& items, int checked, Point at) override {
        menus.push_back({items, checked, at});
        if (whileMenuOpen) whileMenuOpen();
        return menuAnswer;
    }
};

struct FakeAlertDesktop : AlertDesktop {
    std::vector<std::string> log;
    FakePopupHost* host = nullptr; // the popup's window, once created
    Rect workArea{0, 0, 1024, 748};
    int workAreaDpi = 96;
    std::optional<std::string> colorScheme = "Blue";

    std::unique_ptr<PopupHost> CreatePopupHost(TAlertWindow&) override {
        log.push_back("create");
        auto created = std::make_unique<FakePopupHost>(log);
        host = created.get();
        return created;
    }
    Rect WorkArea() const override { return workArea; }
    int WorkAreaDpi() const override { return workAreaDpi; }
    std::optional<std::string> ThemeColorScheme() const override { return colorScheme; }
    // The n-th desktop colour (from 1) is 0x010101 * n, as on the recording canvas.
    Color SystemColor(DesktopColor which) const override {
        return {0x010101u * (std::uint32_t(which) + 1)};
    }
    void RememberFocus() override { log.push_back("remember focus"); }
    void RestoreFocus() override { log.push_back("restore focus"); }
};

} // namespace quillet
