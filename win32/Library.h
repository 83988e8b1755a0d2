#pragma once
// A DLL held loaded for the lifetime of this object, and its functions looked up by name, for
// what a desktop may not offer: a missing DLL or function gives null, and the caller goes on
// without it.
#include <windows.h>

namespace quillet::win32 {

class Library {
public:
    explicit Library(const wchar_t* name) : module_(LoadLibraryW(name)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() {
        if (module_) FreeLibrary(module_);
    }

    // The function `name` as a pointer of type F, or null.
    template <typename F> F Function(const char* name) const {
        if (!module_) return nullptr;
        // Through the generic function type, which converts to every other without a warning.
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

} // namespace quillet::win32
