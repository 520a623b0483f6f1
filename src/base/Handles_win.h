// Owners for every Windows handle the program holds: non-copyable, movable, with release().
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <utility>

#include "base/Gdiplus_win.h"

namespace quillon {

// How many resources of one kind the owners below hold right now. Windows can count a
// process's GDI objects, Wine cannot (GetGuiResources gives 0 there), so leak tests count
// what our own owners took and gave back.
template <typename Traits>
struct OwnerCensus {
    static inline std::atomic<long> live{0};
};

// Owns one resource described by Traits (its type, its empty value test and its release).
template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) { Count(value_, +1); }
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : value_(std::exchange(other.value_, Traits::Empty())) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return !Traits::IsEmpty(value_); }

    // Gives up ownership without releasing.
    Type release() {
        Count(value_, -1);
        return std::exchange(value_, Traits::Empty());
    }

    void Reset(Type value = Traits::Empty()) {
        Count(value, +1);
        Type old = std::exchange(value_, value);
        Count(old, -1);
        if (!Traits::IsEmpty(old))
            Traits::Close(old);
    }

    // How many resources of this kind owners hold at this moment.
    static long Live() { return OwnerCensus<Traits>::live.load(); }

  private:
    static void Count(Type value, long change) {
        if (!Traits::IsEmpty(value))
            OwnerCensus<Traits>::live += change;
    }

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

// A watch on a folder started by FindFirstChangeNotificationW.
struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(Type h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindCloseChangeNotification(h); }
};
using UniqueChangeNotification = UniqueResource<ChangeNotificationTraits>;

// A module loaded by LoadLibraryEx, also one mapped only to read its resources.
struct ModuleTraits {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

// GDI objects (fonts, brushes, bitmaps, pens) made by the program, deleted with DeleteObject.
template <typename Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
using UniqueGdiObject = UniqueResource<GdiObjectTraits<HGDIOBJ>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;

// An icon or cursor made or loaded without LR_SHARED (shared ones are never destroyed).
struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};
using UniqueIcon = UniqueResource<IconTraits>;

// A device context made by CreateCompatibleDC or CreateDC.
struct CreatedDcTraits {
    using Type = HDC;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
using UniqueCreatedDc = UniqueResource<CreatedDcTraits>;

// The GDI objects (fonts, brushes, bitmaps, icons, device contexts) that owners hold now.
inline long LiveGdiOwned() {
    return UniqueGdiObject::Live() + UniqueFont::Live() + UniqueBrush::Live() +
           UniqueBitmap::Live() + UniqueIcon::Live() + UniqueCreatedDc::Live();
}

// Selects an object into a device context for one scope and puts the old one back, so that
// the object can be deleted afterwards (a selected object cannot be).
class ScopedSelectObject {
  public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc),
          old_(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (dc_ != nullptr && old_ != nullptr && old_ != HGDI_ERROR)
            ::SelectObject(dc_, old_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

    // False when nothing was selected (no DC, no object, or the selection failed).
    bool Selected() const { return old_ != nullptr && old_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// An opened registry key.
struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type key) { return key == nullptr; }
    static void Close(Type key) { ::RegCloseKey(key); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

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

// The device context of a window (or, for null, of the screen), borrowed with GetDC and
// given back with ReleaseDC.
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
    // Gives up the context without giving it back.
    HDC release() { return std::exchange(dc_, nullptr); }

  private:
    HWND window_;
    HDC dc_;
};

// A picture decoded or made by GDI+; disposing of it also lets go of the file or memory it
// was read from.
struct PictureTraits {
    using Type = Gdiplus::GpImage*;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type p) { return p == nullptr; }
    static void Close(Type p) { Gdiplus::DllExports::GdipDisposeImage(p); }
};

// Owns one GDI+ picture, spelt like a std::unique_ptr (get, reset, release, null), and
// counted like the owners above: a decoded picture can weigh a hundred megabytes, so leak
// tests count pictures too.
class PictureOwner {
  public:
    PictureOwner() = default;
    PictureOwner(std::nullptr_t) {}  // implicit, so that "return nullptr" means no picture
    explicit PictureOwner(Gdiplus::GpImage* image) : owner_(image) {}

    Gdiplus::GpImage* get() const { return owner_.get(); }
    explicit operator bool() const { return static_cast<bool>(owner_); }
    Gdiplus::GpImage* release() { return owner_.release(); }
    void reset(Gdiplus::GpImage* image = nullptr) { owner_.Reset(image); }

    // How many GDI+ pictures owners hold at this moment.
    static long Live() { return UniqueResource<PictureTraits>::Live(); }

  private:
    UniqueResource<PictureTraits> owner_;
};

// A GDI+ drawing context made on a device context for one drawing.
struct GraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
};
using GraphicsOwner = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter>;

// GDI+ settings for drawing a picture (such as how its edges are sampled).
struct ImageAttributesDeleter {
    void operator()(Gdiplus::GpImageAttributes* attributes) const {
        Gdiplus::DllExports::GdipDisposeImageAttributes(attributes);
    }
};
using ImageAttributesOwner = std::unique_ptr<Gdiplus::GpImageAttributes, ImageAttributesDeleter>;

}  // namespace quillon
