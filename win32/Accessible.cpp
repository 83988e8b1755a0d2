#include "win32/Accessible.h"

#include "win32/Library.h"
#include "win32/Text.h"

#include <atomic>

namespace quillet::win32 {
namespace {

// The libraries a screen reader is answered through (OLE automation, accessibility), loaded
// at its first request rather than as the program starts: most users run none, and loading
// them costs every start time and memory under Wine. Loaded once and never freed, as the
// objects handed out may be held until the process ends. (COM itself is started with the
// program, on the user-interface thread: see WinMain.)
struct AccessibilityLibraries {
    const Library& oleaut32 = *new Library(L"oleaut32.dll");
    const Library& oleacc = *new Library(L"oleacc.dll");
    const decltype(&SysAllocStringLen) sysAllocStringLen =
        oleaut32.Function<decltype(&SysAllocStringLen)>("SysAllocStringLen");
    const decltype(&LresultFromObject) lresultFromObject =
        oleacc.Function<decltype(&LresultFromObject)>("LresultFromObject");
    const decltype(&AccessibleObjectFromWindow) accessibleObjectFromWindow =
        oleacc.Function<decltype(&AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");

    bool Loaded() const {
        return sysAllocStringLen && lresultFromObject && accessibleObjectFromWindow;
    }
};

const AccessibilityLibraries& Libraries() {
    static const AccessibilityLibraries libraries;
    return libraries;
}

BSTR Bstr(const std::string& text) {
    if (text.empty()) return nullptr;
    const std::wstring wide = Wide(text);
    return Libraries().sysAllocStringLen(wide.data(), UINT(wide.size()));
}

// A text property: S_FALSE where there is none, as clients expect.
HRESULT Text(const std::string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = Bstr(text);
    if (text.empty()) return S_FALSE;
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, int child) {
    out->vt = VT_I4;
    out->lVal = child;
}

class Object final : public IAccessible {
public:
    Object(AccessibleSource& source, HWND window) : source_(&source), window_(window) {}

    void Detach() { source_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: clients call IAccessible's methods directly; nothing is reached by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        // The window's own object (frame, caption) holds its client area.
        return Libraries().accessibleObjectFromWindow(window_, DWORD(OBJID_WINDOW), IID_IDispatch,
                                                      reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        *count = source_->AccessibleChildCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        // The children are simple elements, reached through their parent by id.
        return Check(child, [](int) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return Check(child,
                     [&](int id) { return Text(source_->AccessibleElementOf(id).name, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return Check(child, [&](int) { return Text({}, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Check(
            child, [&](int id) { return Text(source_->AccessibleElementOf(id).description, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        return Check(child, [&](int id) {
            SetChild(out, int(source_->AccessibleElementOf(id).role));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        return Check(child, [&](int id) {
            SetChild(out, int(source_->AccessibleElementOf(id).state));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return Check(child, [&](int) { return Text({}, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (topic) *topic = 0;
        return Check(child, [&](int) { return Text({}, file); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return Check(child, [&](int) { return Text({}, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (!out) return E_POINTER;
        out->vt = VT_EMPTY;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const std::optional<int> focus = source_->AccessibleFocus();
        if (!focus) return S_FALSE;
        SetChild(out, *focus);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (!out) return E_POINTER;
        out->vt = VT_EMPTY;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        // The program's windows select one child at most.
        const std::vector<int> selection = source_->AccessibleSelection();
        if (selection.empty()) return S_FALSE;
        SetChild(out, selection.front());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return Check(child, [&](int id) {
            return Text(source_->AccessibleElementOf(id).defaultAction, out);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Check(child, [&](int id) {
            return source_->AccessibleSelect(id, flags) ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* width, long* height,
                                          VARIANT child) override {
        if (!x || !y || !width || !height) return E_POINTER;
        return Check(child, [&](int id) {
            const RECT r = source_->AccessibleElementOf(id).location;
            *x = r.left, *y = r.top, *width = r.right - r.left, *height = r.bottom - r.top;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        if (!out) return E_POINTER;
        out->vt = VT_EMPTY;
        return Check(start, [&](int id) {
            const int count = source_->AccessibleChildCount();
            int to = 0;
            switch (direction) {
            case NAVDIR_FIRSTCHILD: to = id == AccessibleSelf ? 1 : 0; break;
            case NAVDIR_LASTCHILD: to = id == AccessibleSelf ? count : 0; break;
            case NAVDIR_NEXT:
            case NAVDIR_DOWN: to = id == AccessibleSelf ? 0 : id + 1; break;
            case NAVDIR_PREVIOUS:
            case NAVDIR_UP: to = id == AccessibleSelf ? 0 : id - 1; break;
            default: return E_INVALIDARG;
            }
            if (to < 1 || to > count) return S_FALSE;
            SetChild(out, to);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (!out) return E_POINTER;
        out->vt = VT_EMPTY;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const std::optional<int> child = source_->AccessibleChildAt({x, y});
        if (!child) return S_FALSE;
        SetChild(out, *child);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Check(child, [&](int id) {
            return source_->AccessibleDoDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // Runs answer for a valid child id of a connected object.
    template <typename Answer> HRESULT Check(const VARIANT& child, Answer answer) {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > source_->AccessibleChildCount())
            return E_INVALIDARG;
        return answer(int(child.lVal));
    }

    std::atomic<ULONG> references_ = 1;
    AccessibleSource* source_;
    HWND window_;
};

} // namespace

std::optional<LRESULT> AccessibleRoot::GetObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LONG(lParam) != OBJID_CLIENT || !Libraries().Loaded()) return std::nullopt;
    if (!object_) object_ = new Object(source_, window);
    return Libraries().lresultFromObject(IID_IAccessible, wParam, object_);
}

void AccessibleRoot::Disconnect() {
    if (!object_) return;
    static_cast<Object*>(object_)->Detach();
    object_->Release();
    object_ = nullptr;
}

void NotifyAccessible(HWND window, DWORD event, int child) {
    NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

} // namespace quillet::win32
