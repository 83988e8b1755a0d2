#pragma once
// Owners of the user-interface handles that are not GDI objects: each is given back with its
// owner, by the function that frees its kind.
#include <commctrl.h>
#include <windows.h>

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

} // namespace quillet::win32
