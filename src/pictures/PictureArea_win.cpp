#include "pictures/PictureArea_win.h"

#include <memory>
#include <optional>

#include "base/AnsiText_win.h"
#include "base/DialogItems_win.h"
#include "base/Handles_win.h"
#include "pictures/PictureAreaAccessible_win.h"

namespace quillon {

namespace {

constexpr wchar_t kSurfaceProperty[] = L"QuillonPictureArea";
constexpr DWORD kAreaStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_SUNKEN;
constexpr int kFocusMarkInset = 2;

// The off-screen image of one area and the static control's own procedure it extends.
// Members are destroyed in reverse: the image is deselected before bitmap and DC go.
struct Surface {
    UniqueCreatedDc dc;
    UniqueBitmap bitmap;
    std::optional<ScopedSelectObject> selected;
    PixelSize size;
    WNDPROC staticProc = nullptr;
};

Surface* SurfaceOf(HWND area) {
    return area == nullptr ? nullptr : static_cast<Surface*>(::GetPropW(area, kSurfaceProperty));
}

void CopyImageTo(const Surface& surface, HDC target) {
    ::BitBlt(target, 0, 0, surface.size.width, surface.size.height, surface.dc.get(), 0, 0,
             SRCCOPY);
}

bool TakesFocus(HWND area) {
    return (::GetWindowLongPtrW(area, GWL_STYLE) & WS_TABSTOP) != 0;
}

// The dotted frame of the focused area, drawn over the image on the screen only, so that
// the image itself stays the picture.
void DrawFocusMark(HWND area, HDC dc) {
    if (::GetFocus() != area)
        return;
    RECT mark{};
    ::GetClientRect(area, &mark);
    ::InflateRect(&mark, -kFocusMarkInset, -kFocusMarkInset);
    ::DrawFocusRect(dc, &mark);
}

void Notify(HWND area, unsigned short code) {
    ::SendMessageW(::GetParent(area), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(area), code),
                   reinterpret_cast<LPARAM>(area));
}

bool Pressed(int key) {
    return (::GetKeyState(key) & 0x8000) != 0;
}

// The keys of a focused area; false for those it leaves to the static control.
bool OnAreaKey(HWND area, WPARAM key) {
    if (key == VK_RETURN || key == VK_SPACE)
        Notify(area, STN_CLICKED);
    else if (key == VK_DELETE)
        Notify(area, kAreaEmptyKey);
    else if ((key == 'V' && Pressed(VK_CONTROL)) || (key == VK_INSERT && Pressed(VK_SHIFT)))
        Notify(area, kAreaPasteKey);
    else
        return false;
    return true;
}

// Enter would otherwise go to the dialog as its default button; the characters would be
// taken for mnemonics of other controls.
LRESULT AreaDialogCode(const MSG* message) {
    const bool enter =
        message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    return DLGC_WANTCHARS | (enter ? DLGC_WANTMESSAGE : 0);
}

LRESULT CALLBACK PictureAreaProc(HWND area, UINT message, WPARAM wParam, LPARAM lParam) {
    Surface* surface = SurfaceOf(area);
    if (surface == nullptr)
        return ::DefWindowProcW(area, message, wParam, lParam);
    const WNDPROC staticProc = surface->staticProc;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the image covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = ::BeginPaint(area, &paint);
            if (dc != nullptr) {
                CopyImageTo(*surface, dc);
                DrawFocusMark(area, dc);
            }
            ::EndPaint(area, &paint);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(area, nullptr, FALSE);
            break;
        case WM_GETDLGCODE:
            if (TakesFocus(area))
                return AreaDialogCode(reinterpret_cast<const MSG*>(lParam));
            break;
        case WM_KEYDOWN:
            if (TakesFocus(area) && OnAreaKey(area, wParam))
                return 0;
            break;
        case WM_LBUTTONDOWN:
            if (!TakesFocus(area)) {
                ::SetCapture(area);
                Notify(area, kAreaPressed);
            }
            break;
        case WM_LBUTTONUP:
            if (!TakesFocus(area) && ::GetCapture() == area) {
                ::ReleaseCapture();
                Notify(area, kAreaReleased);
            }
            break;
        case WM_SETTEXT:
            // Kept as the name screen readers read, without the static control's own
            // painting of it over the picture.
            return ::DefWindowProcW(area, message, wParam, lParam);
        case WM_GETOBJECT:
            return AnswerAccessibilityQuery(area, wParam, lParam);
        case WM_PRINTCLIENT:
            CopyImageTo(*surface, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY: {
            ::RemovePropW(area, kSurfaceProperty);
            std::unique_ptr<Surface> owned(surface);
            ::SetWindowLongPtrW(area, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(staticProc));
            return ::CallWindowProcW(staticProc, area, message, wParam, lParam);
        }
        default:
            break;
    }
    return ::CallWindowProcW(staticProc, area, message, wParam, lParam);
}

std::unique_ptr<Surface> MakeSurface(PixelSize size) {
    auto surface = std::make_unique<Surface>();
    surface->size = size;
    WindowDc screen(nullptr);
    surface->dc.Reset(::CreateCompatibleDC(screen.get()));
    surface->bitmap.Reset(::CreateCompatibleBitmap(screen.get(), size.width, size.height));
    if (!surface->dc || !surface->bitmap)
        return nullptr;
    surface->selected.emplace(surface->dc.get(), surface->bitmap.get());
    return surface;
}

}  // namespace

HWND CreatePictureArea(HWND parent, int id, const PixelRect& rect, bool takesFocus) {
    HWND area = ::CreateWindowExW(0, L"STATIC", L"", kAreaStyle | (takesFocus ? WS_TABSTOP : 0),
                                  rect.x, rect.y, rect.width, rect.height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (area == nullptr)
        return nullptr;
    std::unique_ptr<Surface> surface = MakeSurface({rect.width, rect.height});
    if (!surface || !::SetPropW(area, kSurfaceProperty, surface.get())) {
        ::DestroyWindow(area);
        return nullptr;
    }
    surface->staticProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(area, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureAreaProc)));
    surface.release();  // the area owns it now and frees it when it is destroyed
    ClearPictureArea(area);
    return area;
}

bool PlacePictureArea(HWND area, const PixelRect& rect) {
    Surface* surface = SurfaceOf(area);
    if (surface == nullptr)
        return false;
    const PixelSize size{rect.width > 0 ? rect.width : 1, rect.height > 0 ? rect.height : 1};
    if (!(size == surface->size)) {
        WindowDc screen(nullptr);
        UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), size.width, size.height));
        if (bitmap) {
            // The old image is deselected before its bitmap goes.
            surface->selected.reset();
            surface->bitmap = std::move(bitmap);
            surface->selected.emplace(surface->dc.get(), surface->bitmap.get());
            surface->size = size;
        }
        ClearPictureArea(area);
    }
    ::SetWindowPos(area, nullptr, rect.x, rect.y, size.width, size.height, kQuietMove);
    return true;
}

void SetSpokenText(HWND area, const std::string& text) {
    if (SurfaceOf(area) != nullptr)
        ::SetWindowTextW(area, WidenAnsi(text).c_str());
}

HDC PictureAreaDc(HWND area) {
    const Surface* surface = SurfaceOf(area);
    return surface == nullptr ? nullptr : surface->dc.get();
}

PixelSize PictureAreaSize(HWND area) {
    RECT outer{};
    if (area == nullptr || !::GetWindowRect(area, &outer))
        return {};
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void ClearPictureArea(HWND area) {
    const Surface* surface = SurfaceOf(area);
    if (surface == nullptr)
        return;
    RECT all{0, 0, surface->size.width, surface->size.height};
    ::FillRect(surface->dc.get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
}

namespace {

int& DeferringPaints() {
    static int depth = 0;  // the window's thread only
    return depth;
}

}  // namespace

void RefreshPictureArea(HWND area) {
    if (SurfaceOf(area) == nullptr)
        return;
    ::InvalidateRect(area, nullptr, FALSE);
    if (DeferringPaints() == 0)
        ::UpdateWindow(area);
}

DeferredAreaPaints::DeferredAreaPaints() {
    ++DeferringPaints();
}

DeferredAreaPaints::~DeferredAreaPaints() {
    --DeferringPaints();
}

}  // namespace quillon
