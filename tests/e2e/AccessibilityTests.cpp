// Quillet as a screen reader meets it: from this separate process, through oleacc, the way a
// screen reader reads any program (AccessibleObjectFromWindow, AccessibleChildren, the
// IAccessible properties, out-of-context WinEvents). The grid, the editor's fields, the
// reminder popup, and acting on a reminder without the mouse.
#include "Harness.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

using namespace quillet::e2e;
using namespace std::chrono_literals;

namespace {

struct Com {
    Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Com() { CoUninitialize(); }
};

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
using Accessible = std::unique_ptr<IAccessible, Releaser>;

Accessible ClientObject(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return nullptr;
    return Accessible(object);
}

VARIANT ChildId(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// In UTF-8, as the program keeps its texts: a screen reader hears every character.
std::string Narrow(BSTR text) {
    if (!text) return {};
    std::string result = Utf8({text, SysStringLen(text)});
    SysFreeString(text);
    return result;
}

std::string Name(IAccessible* object, long child = CHILDID_SELF) {
    BSTR name = nullptr;
    object->get_accName(ChildId(child), &name);
    return Narrow(name);
}

std::string Description(IAccessible* object, long child) {
    BSTR text = nullptr;
    object->get_accDescription(ChildId(child), &text);
    return Narrow(text);
}

long Role(IAccessible* object, long child = CHILDID_SELF) {
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(ChildId(child), &role);
    return role.vt == VT_I4 ? role.lVal : -1;
}

long State(IAccessible* object, long child = CHILDID_SELF) {
    VARIANT state;
    VariantInit(&state);
    object->get_accState(ChildId(child), &state);
    return state.vt == VT_I4 ? state.lVal : -1;
}

// The children's ids as AccessibleChildren gives them.
std::vector<long> ChildIds(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long obtained = 0;
    if (count == 0 || FAILED(AccessibleChildren(object, 0, count, children.data(), &obtained)))
        return {};
    std::vector<long> ids;
    for (VARIANT& child : std::span(children).first(std::size_t(obtained))) {
        ids.push_back(child.vt == VT_I4 ? child.lVal : -1);
        VariantClear(&child);
    }
    return ids;
}

// The WinEvents of one process, as a screen reader hears them: out of context, delivered to
// this thread's message queue while it waits.
class EventListener {
public:
    explicit EventListener(DWORD processId) {
        events_.clear();
        hook_ = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Heard, processId, 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    ~EventListener() { UnhookWinEvent(hook_); }
    bool Hooked() const { return hook_ != nullptr; }

    struct Event {
        DWORD event;
        HWND window;
        LONG object, child;
    };
    // Waits, pumping this thread's messages, until an event of that kind from that window has
    // come; its child id.
    std::optional<LONG> WaitFor(DWORD event, HWND window, milliseconds timeout = 10s) {
        std::optional<LONG> child;
        WaitUntil(
            [&] {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
                for (const Event& e : events_)
                    if (e.event == event && e.window == window && e.object == OBJID_CLIENT)
                        child = e.child;
                return child.has_value();
            },
            timeout);
        return child;
    }
    void Forget() { events_.clear(); }

private:
    static void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                               DWORD, DWORD) {
        events_.push_back({event, window, object, child});
    }
    static inline std::vector<Event> events_;
    HWINEVENTHOOK hook_ = nullptr;
};

constexpr char Head[] =
    "cw 0,130\r\ncw 1,84\r\ncw 2,168\r\n0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n";

HWND Grid(HWND mainWindow) {
    for (const auto& child : Children(mainWindow))
        if (child.className == "QuilletGrid") return child.window;
    return nullptr;
}

// The program started on its folder, with its window opened from the tray icon.
struct OpenApp {
    explicit OpenApp(const AppFolderCopy& folder) : process(folder.ExePath()) {
        mainWindow = WaitForWindow(process.Id(), MAIN_WINDOW_CLASS, "Quillet");
        const HWND handler = WaitForWindow(process.Id(), TRAY_WINDOW_CLASS);
        if (!mainWindow || !handler || !WaitUntil(TrayIconShown)) return;
        TrayMouse(handler, WM_LBUTTONDBLCLK);
        if (WaitUntil([&] { return IsVisible(mainWindow); })) grid = Grid(mainWindow);
    }
    Process process;
    HWND mainWindow = nullptr, grid = nullptr;
};

} // namespace

TEST(ScreenReader, ReadsTheGridsNotesAndHearsTheSelectionMove) {
    Com com;
    AppFolderCopy folder;
    std::ofstream(folder.Folder() + "notes.txt", std::ios::binary)
        << "3,3\r\n"
        << Head << "0,1,12/09/2026 09:00 AM\r\n1,1,Daily\r\n2,1,Call home\r\n"
        << "0,2,01/15/2027 06:30 PM\r\n1,2,Once\r\n2,2,<B>Pay</B> rent &amp; gas \u2615 "
           "\u65E5\u672C\r\n";
    OpenApp app(folder);
    ASSERT_TRUE(app.grid);
    const Accessible grid = ClientObject(app.grid);
    ASSERT_TRUE(grid);

    EXPECT_EQ(Name(grid.get()), "Notes");
    EXPECT_EQ(Role(grid.get()), ROLE_SYSTEM_LIST);
    // The three columns of the header, then a child per note.
    EXPECT_EQ(ChildIds(grid.get()), (std::vector<long>{1, 2, 3, 4, 5}));
    const struct {
        long child;
        std::string name;
        long role;
    } children[] = {
        {1, "Alarm", ROLE_SYSTEM_COLUMNHEADER},
        {2, "Repeat", ROLE_SYSTEM_COLUMNHEADER},
        {3, "Note", ROLE_SYSTEM_COLUMNHEADER},
        {4, "12/09/2026 09:00 AM, Daily, Call home", ROLE_SYSTEM_LISTITEM},
        {5, "01/15/2027 06:30 PM, Once, Pay rent & gas \u2615 \u65E5\u672C", ROLE_SYSTEM_LISTITEM},
    };
    for (const auto& c : children) {
        EXPECT_EQ(Name(grid.get(), c.child), c.name);
        EXPECT_EQ(Role(grid.get(), c.child), c.role) << c.name;
    }
    // Sorted by the alarm at the start, with two notes: the header says so.
    EXPECT_EQ(Description(grid.get(), 1), "Sorted ascending");
    EXPECT_EQ(Description(grid.get(), 2), "");
    EXPECT_TRUE(State(grid.get(), 4) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(State(grid.get(), 5) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(State(grid.get(), 5) & STATE_SYSTEM_SELECTABLE);

    // Where a row stands, hit-testing finds it.
    long x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(grid->accLocation(&x, &y, &width, &height, ChildId(5)), S_OK);
    EXPECT_GT(width, 0);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(grid->accHitTest(x + 5, y + height / 2, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 5);

    // A screen reader gives the grid the focus on a row, as a click would.
    EventListener listener(app.process.Id());
    ASSERT_TRUE(listener.Hooked());
    EXPECT_EQ(grid->accSelect(SELFLAG_TAKEFOCUS, ChildId(4)), S_OK);
    EXPECT_EQ(listener.WaitFor(EVENT_OBJECT_FOCUS, app.grid), 4);
    EXPECT_TRUE(State(grid.get()) & STATE_SYSTEM_FOCUSED);
    EXPECT_TRUE(State(grid.get(), 4) & STATE_SYSTEM_FOCUSED);

    // A key press moves the selection: the screen reader hears it and reads the new row.
    listener.Forget();
    PostKey(app.grid, VK_DOWN);
    EXPECT_EQ(listener.WaitFor(EVENT_OBJECT_SELECTION, app.grid), 5);
    EXPECT_EQ(listener.WaitFor(EVENT_OBJECT_FOCUS, app.grid), 5);
    VARIANT selection;
    VariantInit(&selection);
    ASSERT_EQ(grid->get_accSelection(&selection), S_OK);
    EXPECT_EQ(selection.vt, VT_I4);
    EXPECT_EQ(selection.lVal, 5);
    VARIANT focus;
    VariantInit(&focus);
    ASSERT_EQ(grid->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 5);
    EXPECT_TRUE(State(grid.get(), 5) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(State(grid.get(), 5) & STATE_SYSTEM_FOCUSED);
    EXPECT_FALSE(State(grid.get(), 4) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED));

    // accSelect makes a row current as a click would.
    listener.Forget();
    EXPECT_EQ(grid->accSelect(SELFLAG_TAKESELECTION, ChildId(4)), S_OK);
    EXPECT_EQ(listener.WaitFor(EVENT_OBJECT_SELECTION, app.grid), 4);

    // Sorting by the note reorders the children ("<B>Pay" sorts before "Call"), and the header
    // says which way.
    listener.Forget();
    EXPECT_EQ(grid->accDoDefaultAction(ChildId(3)), S_OK);
    EXPECT_TRUE(listener.WaitFor(EVENT_OBJECT_REORDER, app.grid));
    EXPECT_EQ(Name(grid.get(), 4), "01/15/2027 06:30 PM, Once, Pay rent & gas \u2615 \u65E5\u672C");
    EXPECT_EQ(Name(grid.get(), 5), "12/09/2026 09:00 AM, Daily, Call home");
    EXPECT_EQ(Description(grid.get(), 3), "Sorted ascending");
    EXPECT_EQ(Description(grid.get(), 1), "");

    // The default action on a row opens the editor on it.
    EXPECT_EQ(grid->accDoDefaultAction(ChildId(5)), S_OK);
    const HWND editor = WaitForShownWindow(app.process.Id(), DialogClass, "Note");
    ASSERT_TRUE(editor);
    PressButton(editor, IDC_NOTE_CANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));

    // A note deleted: the list's structure changed, and the row now current is told.
    listener.Forget();
    PostKey(app.mainWindow, VK_DELETE);
    const HWND question = WaitForShownWindow(app.process.Id(), DialogClass, "Confirm");
    ASSERT_TRUE(question);
    PressButton(question, IDYES);
    EXPECT_TRUE(listener.WaitFor(EVENT_OBJECT_REORDER, app.grid));
    EXPECT_EQ(listener.WaitFor(EVENT_OBJECT_SELECTION, app.grid), 4);
    EXPECT_EQ(ChildIds(grid.get()), (std::vector<long>{1, 2, 3, 4}));
    EXPECT_EQ(Name(grid.get(), 4), "01/15/2027 06:30 PM, Once, Pay rent & gas \u2615 \u65E5\u672C");
}

TEST(ScreenReader, TheEditorsFieldsAreNamedByTheirLabelsInTabOrder) {
    Com com;
    AppFolderCopy folder;
    std::ofstream(folder.Folder() + "notes.txt", std::ios::binary)
        << "3,2\r\n"
        << Head << "0,1,12/09/2026 09:00 AM\r\n1,1,Daily\r\n2,1,Call home\r\n";
    OpenApp app(folder);
    ASSERT_TRUE(app.grid);
    ClickToolbarButton(Toolbar(app.mainWindow), 2); // Edit
    const HWND editor = WaitForShownWindow(app.process.Id(), DialogClass, "Note");
    ASSERT_TRUE(editor);

    // Windows names a field without a text of its own by the static label right before it in
    // z-order, stopping at a group's first tab stop; a hidden label counts.
    const auto label = [](HWND field) -> std::string {
        for (HWND w = GetWindow(field, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (ClassName(w) == "Static") return WindowText(w);
            const LONG style = GetWindowLongA(w, GWL_STYLE);
            if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
        }
        return {};
    };
    EXPECT_EQ(label(GetDlgItem(editor, IDC_NOTE_DATE)), "Date/Time");
    EXPECT_EQ(label(GetDlgItem(editor, IDC_NOTE_TIME)), "Time");
    EXPECT_EQ(label(GetDlgItem(editor, IDC_NOTE_REPEAT)), "Repeat");
    EXPECT_EQ(label(GetDlgItem(editor, IDC_NOTE_TEXT)), "Note");
    EXPECT_FALSE(IsVisible(GetDlgItem(editor, IDC_NOTE_TIME_LABEL)));
    EXPECT_FALSE(IsVisible(GetDlgItem(editor, IDC_NOTE_TEXT_LABEL)));
    // The tab order is the z-order of the tab stops, and stays as it was.
    std::vector<int> tabOrder;
    for (HWND w = GetWindow(GetDlgItem(editor, IDC_NOTE_OK), GW_HWNDFIRST); w;
         w = GetWindow(w, GW_HWNDNEXT))
        if (GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) tabOrder.push_back(GetDlgCtrlID(w));
    EXPECT_EQ(tabOrder, (std::vector<int>{IDC_NOTE_OK, IDC_NOTE_CANCEL, IDC_NOTE_DATE,
                                          IDC_NOTE_TIME, IDC_NOTE_REPEAT, IDC_NOTE_TEXT}));

    // What oleacc itself says of the text box: Wine names a field by its label as Windows does.
    const Accessible text = ClientObject(GetDlgItem(editor, IDC_NOTE_TEXT));
    ASSERT_TRUE(text);
    EXPECT_EQ(Role(text.get()), ROLE_SYSTEM_TEXT);
    EXPECT_EQ(Name(text.get()), "Note");

    PressButton(editor, IDC_NOTE_CANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
}

TEST(ScreenReader, AReminderIsAnnouncedAndDeletedWithoutTheMouse) {
    // The first tick checks the minute it comes in; a start late in a minute waits for the next.
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wSecond >= 45) Sleep((61 - now.wSecond) * 1000);
    Com com;
    AppFolderCopy folder;
    std::ofstream(folder.Folder() + "notes.txt", std::ios::binary)
        << "3,2\r\n"
        << Head << "0,1," << AlarmTextIn(std::chrono::minutes(1))
        << "\r\n1,1,None\r\n2,1,<B>Call</B> home &amp; <A "
           "href=\"http://example.org\">office</A>\r\n";
    OpenApp app(folder);
    ASSERT_TRUE(app.grid);
    EventListener listener(app.process.Id());
    ASSERT_TRUE(listener.Hooked());

    // The alert comes with the reminder; the focus stays where it was.
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            return (popup = VisiblePopup(app.process.Id())) != nullptr;
        },
        100s))
        << "no reminder";
    EXPECT_EQ(listener.WaitFor(EVENT_SYSTEM_ALERT, popup), CHILDID_SELF);
    const Accessible alert = ClientObject(popup);
    ASSERT_TRUE(alert);
    EXPECT_EQ(Role(alert.get()), ROLE_SYSTEM_ALERT);
    const std::string name = Name(alert.get());
    EXPECT_EQ(name.substr(0, name.find('\n')), "Quillet");
    EXPECT_NE(name.find("\nDate/Time: "), std::string::npos) << name;
    EXPECT_EQ(name.substr(name.rfind('\n') + 1), "Call home & office");

    // Its buttons and its link, as children.
    std::vector<std::pair<std::string, long>> parts;
    for (const long id : ChildIds(alert.get()))
        parts.push_back({Name(alert.get(), id), Role(alert.get(), id)});
    EXPECT_EQ(parts,
              (std::vector<std::pair<std::string, long>>{
                  {"Close", ROLE_SYSTEM_PUSHBUTTON},
                  {"Delete", ROLE_SYSTEM_PUSHBUTTON},
                  {"Snooze for 10 minutes (right-click for other times)", ROLE_SYSTEM_PUSHBUTTON},
                  {"office", ROLE_SYSTEM_LINK}}));
    EXPECT_EQ(Description(alert.get(), 4), "http://example.org");

    // Deleting it by the button's default action: the reminder goes, the popup closes.
    EXPECT_EQ(alert->accDoDefaultAction(ChildId(2)), S_OK);
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(popup); }));
    EXPECT_TRUE(State(alert.get()) & STATE_SYSTEM_INVISIBLE);
    // The Show Alarms button brings nothing back: the reminder was deleted.
    ClickToolbarButton(Toolbar(app.mainWindow), 3);
    Sleep(500);
    EXPECT_FALSE(IsVisible(popup));
}
