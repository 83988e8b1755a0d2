#include "alerts/AlertMessages.h"
#include "base/Errors.h"
#include "tests/core/FakeAlertPopup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillet;

namespace {

struct AlertListTest : testing::Test {
    FakeAlertPopup popup;
    AlertList list{popup};

    // What the alarm check does for every due note.
    void Remind(const std::string& text) {
        list.AlertMessages().Add().SetText(text);
        list.Show();
        list.LastMessage();
    }
    void RemindAll(std::initializer_list<const char*> texts) {
        for (const char* text : texts) Remind(text);
    }
    std::string Shown() const {
        const TMsgCollectionItem* item = list.ShownMessage();
        return item ? item->DisplayText() : "(none)";
    }
};

} // namespace

TEST(MsgCollection, TextSplitsIntoLinesAndShowsThemJoined) {
    const struct {
        const char* text;
        std::vector<std::string> lines;
        const char* shown;
    } cases[] = {
        {"", {}, ""},
        {"one", {"one"}, "one"},
        {"Line one\r\nLine two", {"Line one", "Line two"}, "Line oneLine two"},
        {"a\rb\nc", {"a", "b", "c"}, "abc"},
        {"a\r\n\r\nb\n", {"a", "", "b"}, "ab"},
        {"a\n\rb", {"a", "", "b"}, "ab"}, // LF then CR is two breaks
    };
    TMsgCollection messages;
    TMsgCollectionItem& item = messages.Add();
    for (const auto& c : cases) {
        item.SetText(c.text);
        EXPECT_EQ(item.Text(), c.lines) << c.text;
        EXPECT_EQ(item.DisplayText(), c.shown) << c.text;
    }
}

TEST(MsgCollection, NotifiesChangesAndRemovals) {
    TMsgCollection messages;
    int changes = 0;
    std::vector<int> removed;
    messages.OnItemChanged = [&] { ++changes; };
    messages.OnItemRemoved = [&](int index) { removed.push_back(index); };

    TMsgCollectionItem& item = messages.Add();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(item.ImageIndex(), 0);
    EXPECT_EQ(item.Tag(), 0);
    EXPECT_EQ(item.Color(), std::nullopt);
    EXPECT_EQ(item.ColorTo(), std::nullopt);

    item.SetText("x");
    item.SetColor(Color{0xFF0000});
    item.SetColorTo(std::nullopt);
    EXPECT_EQ(changes, 4);
    item.SetImageIndex(3);
    item.SetTag(7);
    EXPECT_EQ(changes, 4);

    messages.Add().SetText("second");
    messages.Delete(0);
    EXPECT_EQ(removed, std::vector{0});
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages[0].DisplayText(), "second");
    for (int bad : {-1, 1}) {
        try {
            messages.Delete(bad);
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), "Invalid Index");
        }
    }
    EXPECT_EQ(messages.Count(), 1);
}

TEST(MsgScroller, IgnoresAMaxBelowMinAndAMinAboveMax) {
    TMsgScroller scroller;
    scroller.SetMax(3);
    scroller.SetMin(1);
    scroller.SetMax(0);
    EXPECT_EQ(scroller.Max(), 3);
    scroller.SetMin(4);
    EXPECT_EQ(scroller.Min(), 1);
    scroller.SetPosition(1);
    EXPECT_FALSE(scroller.CanGoBack());
    EXPECT_TRUE(scroller.CanGoForward());
}

TEST(PositionText, FillsTheFormat) {
    EXPECT_EQ(FormatPosition(2, 5), "2 of 5");
    EXPECT_EQ(FormatPosition(12, 345), "12 of 345");
}

TEST_F(AlertListTest, ShowWithoutMessagesDoesNothing) {
    list.Show();
    list.LastMessage();
    EXPECT_FALSE(popup.exists);
    EXPECT_EQ(popup.bringUps, 0);
    EXPECT_EQ(list.ShownMessage(), nullptr);
}

TEST_F(AlertListTest, ThreeRemindersInOneMinuteEndOnTheThird) {
    RemindAll({"first", "second", "third"});
    EXPECT_EQ(popup.bringUps, 1);
    EXPECT_EQ(list.PositionText(), "3 of 3");
    EXPECT_EQ(Shown(), "third");
    EXPECT_TRUE(list.Scroller().Visible());

    list.PrevMessage();
    EXPECT_EQ(list.PositionText(), "2 of 3");
    EXPECT_EQ(Shown(), "second");
}

TEST_F(AlertListTest, StepsWithoutWrappingAndResetsTheScrollOnEveryMove) {
    RemindAll({"first", "second"});
    const int resets = popup.scrollResets;
    list.NextMessage(); // already on the last
    EXPECT_EQ(list.PositionText(), "2 of 2");
    list.PrevMessage();
    list.PrevMessage(); // already on the first
    EXPECT_EQ(list.PositionText(), "1 of 2");
    EXPECT_EQ(popup.scrollResets, resets + 1);
    list.NextMessage();
    EXPECT_EQ(Shown(), "second");
    EXPECT_EQ(popup.scrollResets, resets + 2);
}

TEST_F(AlertListTest, OneMessageDrawsNoPositionText) {
    Remind("only");
    EXPECT_EQ(list.PositionText(), "1 of 1");
    EXPECT_FALSE(list.Scroller().Visible());
    Remind("another");
    EXPECT_TRUE(list.Scroller().Visible());
}

TEST_F(AlertListTest, AReminderAddedWhileShowingTheFirstEndsOnTheNewOne) {
    RemindAll({"first", "second"});
    list.PrevMessage();
    ASSERT_EQ(list.PositionText(), "1 of 2");

    list.AlertMessages().Add().SetText("third");
    EXPECT_EQ(list.PositionText(), "1 of 3"); // a visible popup follows the list at once
    list.Show();
    EXPECT_EQ(list.PositionText(), "1 of 3"); // Show starts afresh on the first
    list.LastMessage();
    EXPECT_EQ(list.PositionText(), "3 of 3");
    EXPECT_EQ(Shown(), "third");
    EXPECT_EQ(popup.bringUps, 1);
}

TEST_F(AlertListTest, DeletingTheShownMessage) {
    const struct {
        int shownBefore;
        const char* positionAfter;
        const char* shownAfter;
    } cases[] = {
        {1, "1 of 2", "second"},
        {2, "2 of 2", "third"},
        {3, "2 of 2", "second"},
    };
    for (const auto& c : cases) {
        FakeAlertPopup popup;
        AlertList list(popup);
        for (const char* text : {"first", "second", "third"}) {
            list.AlertMessages().Add().SetText(text);
            list.Show();
            list.LastMessage();
        }
        while (list.Scroller().Position() > c.shownBefore) list.PrevMessage();

        list.DeleteShownMessage();
        EXPECT_EQ(list.PositionText(), c.positionAfter) << "deleted at " << c.shownBefore;
        ASSERT_NE(list.ShownMessage(), nullptr);
        EXPECT_EQ(list.ShownMessage()->DisplayText(), c.shownAfter)
            << "deleted at " << c.shownBefore;
        EXPECT_EQ(list.AlertMessages().Count(), 2);
        EXPECT_TRUE(popup.visible);
    }
}

TEST_F(AlertListTest, DeletingAnotherMessageKeepsTheShownOne) {
    RemindAll({"first", "second", "third"});
    list.DeleteMessage(0);
    EXPECT_EQ(list.PositionText(), "2 of 2");
    EXPECT_EQ(Shown(), "third");
    list.PrevMessage();
    list.DeleteMessage(1);
    EXPECT_EQ(list.PositionText(), "1 of 1");
    EXPECT_EQ(Shown(), "second");
}

TEST_F(AlertListTest, DeletingTheOnlyMessageClosesThePopup) {
    Remind("only");
    list.DeleteShownMessage();
    EXPECT_FALSE(popup.visible);
    EXPECT_EQ(popup.closes, 1);
    EXPECT_EQ(list.AlertMessages().Count(), 0);
    EXPECT_EQ(list.PositionText(), "0 of 0");
    EXPECT_EQ(list.ShownMessage(), nullptr);

    list.Show(); // Show Alarms
    list.LastMessage();
    EXPECT_FALSE(popup.visible);
    EXPECT_EQ(popup.bringUps, 1);
}

TEST_F(AlertListTest, AnInvalidIndexChangesNothing) {
    RemindAll({"first", "second"});
    for (int bad : {-1, 2}) EXPECT_THROW(list.DeleteMessage(bad), EListError);
    EXPECT_EQ(list.AlertMessages().Count(), 2);
    EXPECT_EQ(list.PositionText(), "2 of 2");
}

TEST_F(AlertListTest, ClosingThenShowBringsAllBackOnTheLast) {
    RemindAll({"first", "second", "third"});
    list.PrevMessage();
    popup.Close(); // the close button
    EXPECT_EQ(list.AlertMessages().Count(), 3);

    list.Show(); // Show Alarms
    list.LastMessage();
    EXPECT_TRUE(popup.visible);
    EXPECT_EQ(popup.bringUps, 2);
    EXPECT_EQ(list.PositionText(), "3 of 3");
    EXPECT_EQ(Shown(), "third");
}

TEST_F(AlertListTest, AHiddenPopupIsLeftAloneUntilTheNextShow) {
    Remind("first");
    popup.Close();
    const int resets = popup.scrollResets;
    list.AlertMessages().Add().SetText("second");
    list.LastMessage();
    EXPECT_EQ(list.PositionText(), "1 of 1");
    EXPECT_EQ(popup.scrollResets, resets);

    list.Show();
    EXPECT_EQ(list.PositionText(), "1 of 2");
}

TEST_F(AlertListTest, ShowWhileAClosedPopupStillFadesInOnlyStartsAfresh) {
    RemindAll({"first", "second"});
    popup.Close(); // closed before its fade-in has ended
    popup.fading = true;
    list.Show();
    EXPECT_EQ(popup.bringUps, 1);
    EXPECT_EQ(list.PositionText(), "1 of 2");
}
