#pragma once
// Owners of the user-interface handles that are not GDI objects: each is given back with its
// owner, by the function that frees its kind.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace quillet::win32 {

template <typename Handle, auto Free> struct HandleFreer {
    void operator()(Handle handle) const { Free(handle); }
};
template <typename Handle, auto Free>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleFreer<Handle, Free>>;

using Menu = UniqueHandle<HMENU, DestroyMenu>;
using ImageList = UniqueHandle<HIMAGELIST, ImageList_Destroy>;

// A kernel object's handle: an event, a file.
using KernelHandle = UniqueHandle<HANDLE, CloseHandle>;
// CreateFile says "none" with INVALID_HANDLE_VALUE, where every other call says null.
inline KernelHandle OwnedFile(HANDLE file) {
    return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

} // namespace quillet::win32
