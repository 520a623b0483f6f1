// Owners for every Windows handle the program holds: non-copyable, movable, with release().
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

#include "pictures/Gdiplus_win.h"

namespace quillon {

// Owns one resource described by Traits (its type, its empty value test and its release).
template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return !Traits::IsEmpty(value_); }

    // Gives up ownership without releasing.
    Type release() { return std::exchange(value_, Traits::Empty()); }

    void Reset(Type value = Traits::Empty()) {
        Type old = std::exchange(value_, value);
        if (!Traits::IsEmpty(old))
            Traits::Close(old);
    }

  private:
    Type value_ = Traits::Empty();
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "nothing".
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// A directory search started by FindFirstFileW.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(Type h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

// A GDI object the program created (font, bitmap, brush): deleted with DeleteObject.
template <typename Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;

// A memory device context made by CreateCompatibleDC.
struct MemoryDcTraits {
    using Type = HDC;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// Global memory from GlobalAlloc.
struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::GlobalFree(h); }
};
using UniqueGlobal = UniqueResource<GlobalMemoryTraits>;

// One reference to a COM object, given back with Release.
template <typename Interface>
struct ComReferenceTraits {
    using Type = Interface*;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type p) { return p == nullptr; }
    static void Close(Type p) { p->Release(); }
};
template <typename Interface>
using UniqueComRef = UniqueResource<ComReferenceTraits<Interface>>;

// The device context of a window, borrowed with GetDC and given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr)
            ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    HDC release() { return std::exchange(dc_, nullptr); }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back when it ends.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (dc_ != nullptr && previous_ != nullptr && previous_ != HGDI_ERROR)
            ::SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ScopedSelect(ScopedSelect&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)),
          previous_(std::exchange(other.previous_, nullptr)) {}
    ScopedSelect& operator=(ScopedSelect&&) = delete;

    // The object that was selected before, now no longer put back.
    HGDIOBJ release() {
        dc_ = nullptr;
        return std::exchange(previous_, nullptr);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A picture decoded by GDI+; disposing of it also lets go of the file it was read from.
struct PictureDisposer {
    void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using PictureOwner = std::unique_ptr<Gdiplus::GpImage, PictureDisposer>;

// A GDI+ drawing context made on a device context for one drawing.
struct GraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
};
using GraphicsOwner = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter>;

}  // namespace quillon
