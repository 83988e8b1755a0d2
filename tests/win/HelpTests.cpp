// The application's help handler: which HtmlHelpA call each help request becomes.
#include "app/AppFolder.h"
#include "app/UseHTMLHelp.h"

#include <gtest/gtest.h>

#include <htmlhelp.h>

#include <optional>
#include <string>
#include <vector>

using namespace quillet;

namespace {

struct Call {
    HWND caller;
    std::optional<std::string> file;
    UINT command;
    DWORD_PTR data;
    friend bool operator==(const Call&, const Call&) = default;
};

// Records the calls instead of making them, for the life of the scope.
class RecordedHelp {
public:
    RecordedHelp() : saved_(ShowHtmlHelp) {
        ShowHtmlHelp = [this](HWND caller, const char* file, UINT command, DWORD_PTR data) {
            calls.push_back(
                {caller, file ? std::optional<std::string>(file) : std::nullopt, command, data});
        };
    }
    RecordedHelp(const RecordedHelp&) = delete;
    RecordedHelp& operator=(const RecordedHelp&) = delete;
    ~RecordedHelp() { ShowHtmlHelp = saved_; }

    std::vector<Call> calls;

private:
    HtmlHelpCall saved_;
};

} // namespace

TEST(ApplicationHelp, EachRequestBecomesOneHtmlHelpCallOwnedByNoWindow) {
    const std::string manual = HelpFileName();
    const struct {
        UINT command;
        ULONG_PTR data;
        Call call;
    } cases[] = {
        {HELP_FINDER, 0, {nullptr, manual, HH_DISPLAY_TOPIC, 0}},
        {HELP_CONTEXT, 42, {nullptr, manual, HH_HELP_CONTEXT, 42}},
        {HELP_CONTEXTPOPUP, 7, {nullptr, manual, HH_HELP_CONTEXT, 7}},
        {HELP_KEY, 0x1234, {nullptr, manual, HH_DISPLAY_INDEX, 0x1234}},
        {HELP_QUIT, 5, {nullptr, std::nullopt, HH_CLOSE_ALL, 0}},
        {HELP_CONTENTS, 9, {nullptr, manual, HH_DISPLAY_TOPIC, 0}},
        {HELP_PARTIALKEY, 9, {nullptr, manual, HH_DISPLAY_TOPIC, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        RecordedHelp help;
        ApplicationHelp(c.command, c.data);
        EXPECT_EQ(help.calls, std::vector<Call>{c.call});
    }
    EXPECT_EQ(manual, AppFolder() + "quillet.chm");
}
