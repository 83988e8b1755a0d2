#pragma once
// Owners of the user-interface handles that are not GDI objects: each is given back with its
// owner, by the function that frees its kind.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace quillet::win32 {

template <typename Handle, auto Free> struct HandleFreer {
    void operator()(Handle handle) const { Free(handle); }
};
template <typename Handle, auto Free>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleFreer<Handle, Free>>;

using Menu = UniqueHandle<HMENU, DestroyMenu>;
using ImageList = UniqueHandle<HIMAGELIST, ImageList_Destroy>;

// A kernel object's handle, closed with CloseHandle. CreateFile says "none" with
// INVALID_HANDLE_VALUE where most calls use null: both count as empty.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    FileHandle& operator=(FileHandle other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~FileHandle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_;
};

} // namespace quillet::win32
