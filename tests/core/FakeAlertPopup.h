#pragma once
// The popup window, reduced to what the alert list can see of it.
#include "alerts/AlertMessages.h"

#include <gtest/gtest.h>

namespace quillet {

struct FakeAlertPopup : AlertPopup {
    bool exists = false, visible = false, fading = false;
    int bringUps = 0, closes = 0, scrollResets = 0;

    bool Exists() const override { return exists; }
    bool Visible() const override { return visible; }
    bool Fading() const override { return fading; }
    void BringUp() override {
        EXPECT_FALSE(visible);
        exists = visible = true;
        ++bringUps;
    }
    void Close() override {
        visible = false;
        ++closes;
    }
    void Repaint() override { EXPECT_TRUE(exists); }
    void ResetScroll() override { ++scrollResets; }
};

} // namespace quillet
