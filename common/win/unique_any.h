// Move-only owners of Win32 handles: one template, one traits struct per kind
// of handle, one alias per use. A raw handle handed out by get() is borrowed.
#pragma once

#include <windows.h>

#include <utility>

namespace ostrel::win {

template <typename Traits>
class unique_any {
 public:
  using pointer = typename Traits::type;

  unique_any() noexcept = default;
  explicit unique_any(pointer value) noexcept : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  pointer get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
  void reset(pointer value = Traits::invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (old != Traits::invalid()) Traits::close(old);
  }
  // For out-parameters: frees the current value and hands out its address.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

namespace traits {
template <typename T, auto Close>
struct null_invalid {
  using type = T;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type value) noexcept { Close(value); }
};
struct file {
  using type = HANDLE;
  static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(type value) noexcept { ::CloseHandle(value); }
};
inline void delete_gdi_object(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void unmap_view(void* view) noexcept { ::UnmapViewOfFile(view); }
}  // namespace traits

// Kernel objects that report failure as null: events, mutexes, mappings,
// threads, processes, snapshots (CreateToolhelp32Snapshot returns -1: use
// unique_file for it).
using unique_handle = unique_any<traits::null_invalid<HANDLE, ::CloseHandle>>;
// Objects that report failure as INVALID_HANDLE_VALUE: files, snapshots.
using unique_file = unique_any<traits::file>;
using unique_hkey = unique_any<traits::null_invalid<HKEY, ::RegCloseKey>>;
using unique_hmodule = unique_any<traits::null_invalid<HMODULE, ::FreeLibrary>>;
using unique_mapped_view = unique_any<traits::null_invalid<void*, traits::unmap_view>>;
using unique_hdc = unique_any<traits::null_invalid<HDC, ::DeleteDC>>;
using unique_hbitmap = unique_any<traits::null_invalid<HBITMAP, traits::delete_gdi_object>>;
using unique_hfont = unique_any<traits::null_invalid<HFONT, traits::delete_gdi_object>>;
using unique_hbrush = unique_any<traits::null_invalid<HBRUSH, traits::delete_gdi_object>>;
using unique_hpen = unique_any<traits::null_invalid<HPEN, traits::delete_gdi_object>>;
using unique_hrgn = unique_any<traits::null_invalid<HRGN, traits::delete_gdi_object>>;
using unique_hicon = unique_any<traits::null_invalid<HICON, ::DestroyIcon>>;
// Memory the system allocated for the caller: security descriptors, SIDs.
using unique_hlocal = unique_any<traits::null_invalid<HLOCAL, ::LocalFree>>;
using unique_hmenu = unique_any<traits::null_invalid<HMENU, ::DestroyMenu>>;
// A font added from memory with AddFontMemResourceEx.
using unique_memory_font = unique_any<traits::null_invalid<HANDLE, ::RemoveFontMemResourceEx>>;
// Folder searches of FindFirstFile(Ex).
struct find_traits {
  using type = HANDLE;
  static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(type value) noexcept { ::FindClose(value); }
};
using unique_find = unique_any<find_traits>;

// A DC from GetDC, given back with ReleaseDC to the window it came from.
class unique_window_dc {
 public:
  unique_window_dc() noexcept = default;
  explicit unique_window_dc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  unique_window_dc(const unique_window_dc&) = delete;
  unique_window_dc& operator=(const unique_window_dc&) = delete;
  unique_window_dc(unique_window_dc&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  unique_window_dc& operator=(unique_window_dc&& other) noexcept {
    if (this != &other) {
      reset();
      window_ = std::exchange(other.window_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  ~unique_window_dc() { reset(); }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  void reset() noexcept {
    if (dc_) ::ReleaseDC(window_, dc_);
    window_ = nullptr;
    dc_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// BeginPaint on construction, EndPaint on exit: the update region is
// validated whatever path leaves the paint handler.
class scoped_paint {
 public:
  explicit scoped_paint(HWND window) noexcept : window_(window) { ::BeginPaint(window_, &paint_); }
  scoped_paint(const scoped_paint&) = delete;
  scoped_paint& operator=(const scoped_paint&) = delete;
  ~scoped_paint() { ::EndPaint(window_, &paint_); }
  HDC dc() const noexcept { return paint_.hdc; }
  const PAINTSTRUCT& info() const noexcept { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// Selects an object into a DC and selects the previous one back on exit.
class scoped_select {
 public:
  scoped_select(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  scoped_select(const scoped_select&) = delete;
  scoped_select& operator=(const scoped_select&) = delete;
  ~scoped_select() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace ostrel::win
