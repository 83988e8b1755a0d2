// Lays out and draws markup on the recording canvas: the typical reminder (argument 0) and
// notes of 10 KB and 1 MB. The reference beside them only copies the text and counts its tags
// and spaces, which every layout has to do at least. And the reminder popup answering the
// pointer over a message of 100 KB, beside one layout of that message.
#include "markup/DrawMarkup.h"
#include "tests/core/FakeAlertDesktop.h"
#include "tests/support/RecordingCanvas.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>

using namespace quillet;

namespace {

constexpr Rect TextArea{4, 21, 276, 174};

const std::string Reminder = "Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home about the "
                             "<b>weekend</b> &amp; book the table for eight";

// A note of about `bytes` bytes: sentences with a little markup, a line break now and then.
std::string Note(std::size_t bytes) {
    static const std::string sentences[] = {
        "Remember to <b>call</b> the office and ask about the new schedule. ",
        "Bring the <i>blue</i> folder &amp; the signed forms to the meeting. ",
        "See <a href=\"http://example.com/plan\">the plan</a> before Friday.<br>",
    };
    std::string note;
    for (std::size_t i = 0; note.size() < bytes; ++i) note += sentences[i % 3];
    note.resize(bytes);
    return note;
}

const std::string& Sized(std::int64_t bytes) {
    static std::map<std::int64_t, std::string> notes{{0, Reminder}};
    auto [note, made] = notes.try_emplace(bytes);
    if (made) note->second = Note(std::size_t(bytes));
    return note->second;
}

// What the popup does for every paint: measure the whole message (for its scroll buttons),
// then lay out and draw what fits into the text area.
void BM_PopupPaint(benchmark::State& state) {
    const std::string& text = Sized(state.range(0));
    RecordingCanvas canvas;
    for (auto _ : state) {
        canvas.calls.clear();
        const auto measured = DrawMarkup(canvas, text, TextArea, {.mode = MarkupMode::MeasureOnly});
        const auto drawn = DrawMarkup(canvas, text, TextArea);
        benchmark::DoNotOptimize(measured.height + drawn.height);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
}

// Draws every line: the rectangle is as tall as the whole text.
void BM_DrawAll(benchmark::State& state) {
    const std::string& text = Sized(state.range(0));
    RecordingCanvas canvas;
    Rect rect = TextArea;
    rect.bottom =
        rect.top + DrawMarkup(canvas, text, rect, {.mode = MarkupMode::MeasureOnly}).height;
    for (auto _ : state) {
        canvas.calls.clear();
        const auto result = DrawMarkup(canvas, text, rect);
        benchmark::DoNotOptimize(result.height);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
    state.counters["calls"] = double(canvas.calls.size());
}

void BM_ReferenceCopyAndScan(benchmark::State& state) {
    const std::string& text = Sized(state.range(0));
    for (auto _ : state) {
        std::string copy = text;
        benchmark::DoNotOptimize(std::count(copy.begin(), copy.end(), '<') +
                                 std::count(copy.begin(), copy.end(), ' '));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
}

// The pointer moving to and fro over the popup showing the note: over its text, a link, the
// close button and the scroll buttons, each move answered as the popup's window answers it.
void BM_PopupPointerMove(benchmark::State& state) {
    FakeAlertDesktop desktop;
    UiThread ui;
    TAdvAlertWindow alert(desktop, ui);
    alert.AlertMessages().Add().SetText(Sized(state.range(0)));
    alert.Show();
    TAlertWindow& popup = *alert.Popup();
    const AlertLayout parts = popup.Layout();
    const Point stops[] = {{40, 60},
                           {120, 100},
                           {parts.close.left + 5, parts.close.top + 5},
                           {parts.scrollDown.left + 3, parts.scrollDown.top + 3},
                           {60, 150}};
    std::size_t next = 0;
    for (auto _ : state) {
        popup.PointerMoved(stops[next]);
        next = (next + 1) % std::size(stops);
    }
    benchmark::DoNotOptimize(popup.HoverLink());
}

// Laying the note out whole in the popup's text area, once.
void BM_ReferenceLayOutOnce(benchmark::State& state) {
    const std::string& text = Sized(state.range(0));
    RecordingCanvas canvas;
    for (auto _ : state) {
        const MarkupLayout layout(canvas, text, TextArea, {});
        benchmark::DoNotOptimize(layout.Result().height);
    }
}

} // namespace

BENCHMARK(BM_ReferenceCopyAndScan)->Arg(0)->Arg(10 * 1024)->Arg(1024 * 1024);
BENCHMARK(BM_PopupPaint)->Arg(0)->Arg(10 * 1024)->Arg(1024 * 1024);
// Every line drawn: the 1 MB note makes some 150 000 calls, each recorded.
BENCHMARK(BM_DrawAll)->Arg(0)->Arg(10 * 1024)->Arg(1024 * 1024);

BENCHMARK(BM_ReferenceLayOutOnce)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PopupPointerMove)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
