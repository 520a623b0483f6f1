#include "pictures/PictureEngine_win.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "base/AnsiText_win.h"
#include "base/ControlIds.h"
#include "base/Files_win.h"
#include "base/Text.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureFilter.h"
#include "pictures/PictureReducer.h"
#include "pictures/SlotLayout.h"

namespace quillon {

namespace gdip = Gdiplus::DllExports;

namespace {

constexpr const char* kEmbeddedPictureType = "#10";  // RCDATA
constexpr int kCaptionPoints = 8;
constexpr int kPointsPerInch = 72;
constexpr COLORREF kCaptionColour = RGB(170, 100, 160);

void DrawInto(HWND area, Gdiplus::GpImage* picture, const PixelRect& rect) {
    GraphicsOwner graphics = CreatePictureGraphics(area);
    if (!graphics || picture == nullptr)
        return;
    gdip::GdipDrawImageRect(graphics.get(), picture, static_cast<float>(rect.x),
                            static_cast<float>(rect.y), static_cast<float>(rect.width),
                            static_cast<float>(rect.height));
}

// Picture files larger than this are refused rather than copied into memory whole.
constexpr LONGLONG kLargestPictureFile = 1024LL * 1024 * 1024;

// A stream over memory that it takes over and frees when its last reference goes. GDI+
// keeps a reference for as long as a picture decoded from it lives, so the bytes last
// exactly that long.
UniqueComRef<IStream> StreamOwning(UniqueGlobal memory) {
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(memory.get(), TRUE, &stream)) || stream == nullptr)
        return UniqueComRef<IStream>(nullptr);
    memory.release();
    return UniqueComRef<IStream>(stream);
}

HWND MainWindowArea(HWND window, int controlId) {
    return ::GetDlgItem(window, controlId);
}

// A picture decoded on a thread of its own. The thread is never waited for at exit, so the
// two share it: whichever lets go last frees it.
struct DecodedAhead {
    std::string path;  // set before the thread starts, then only read
    std::mutex lock;
    std::condition_variable finished;
    bool decoding = true;
    FileStamp stamp;  // of the file as it was before it was read
    PictureOwner picture;
};

std::shared_ptr<DecodedAhead>& PendingAhead() {
    static std::shared_ptr<DecodedAhead> pending;
    return pending;
}

// The picture decoded ahead, when it is of this file and the file has not been written since
// it was read; whatever was decoded ahead is let go.
PictureOwner TakeDecodedAhead(const std::string& path) {
    const std::shared_ptr<DecodedAhead> ahead = std::exchange(PendingAhead(), nullptr);
    if (!ahead || ahead->path != path)
        return nullptr;
    std::unique_lock<std::mutex> held(ahead->lock);
    ahead->finished.wait(held, [&] { return !ahead->decoding; });
    const FileStamp now = StampOf(path);
    if (!ahead->stamp.exists || !now.exists || WrittenSince(ahead->stamp, now))
        return nullptr;
    return std::move(ahead->picture);
}

}  // namespace

void StartPictureEngine() {
    // Its result is not examined: without the decoder, loading a picture simply fails later.
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

PictureOwner LoadPictureFile(const std::string& path) {
    if (path.empty() || HasUnrepresentableMark(path))
        return nullptr;
    // Decoded from a copy in memory, not from the file: GDI+ keeps a file it decodes open
    // for the picture's whole life, which would stop a script from writing over its own
    // input and the user from renaming or deleting the file while it sits in a slot.
    UniqueHandle file(::CreateFileW(WidenAnsi(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > kLargestPictureFile)
        return nullptr;
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, length));
    void* bytes = memory ? ::GlobalLock(memory.get()) : nullptr;
    if (bytes == nullptr)
        return nullptr;
    DWORD read = 0;
    const BOOL complete = ::ReadFile(file.get(), bytes, length, &read, nullptr) && read == length;
    ::GlobalUnlock(memory.get());
    file.Reset();
    if (!complete)
        return nullptr;
    UniqueComRef<IStream> stream = StreamOwning(std::move(memory));
    if (!stream)
        return nullptr;
    Gdiplus::GpImage* image = nullptr;
    const Gdiplus::GpStatus status = gdip::GdipLoadImageFromStream(stream.get(), &image);
    PictureOwner picture(image);
    if (status != Gdiplus::Ok)
        return nullptr;
    return picture;
}

PixelSize PictureSize(Gdiplus::GpImage* picture) {
    UINT width = 0;
    UINT height = 0;
    if (picture != nullptr) {
        gdip::GdipGetImageWidth(picture, &width);
        gdip::GdipGetImageHeight(picture, &height);
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PixelSize> DecodedPictureSize(const std::string& path) {
    const PictureOwner picture = LoadPictureFile(path);
    if (!picture)
        return std::nullopt;
    return PictureSize(picture.get());
}

PictureOwner MakeFittedPreview(Gdiplus::GpImage* picture, PixelSize area) {
    if (picture == nullptr)
        return nullptr;
    const PixelRect fitted = FittedRect(PictureSize(picture), area);
    if (fitted.width <= 0 || fitted.height <= 0)
        return nullptr;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(fitted.width, fitted.height, 0, PixelFormat32bppPARGB,
                                        nullptr, &bitmap) != Gdiplus::Ok)
        return nullptr;
    PictureOwner preview(bitmap);
    Gdiplus::GpGraphics* raw = nullptr;
    if (gdip::GdipGetImageGraphicsContext(bitmap, &raw) != Gdiplus::Ok)
        return nullptr;
    GraphicsOwner graphics(raw);
    // Shrinking many pixels into one needs the filtered modes; the default one samples only a
    // few source pixels for each preview pixel. Pixel centres line up with the source's.
    gdip::GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    gdip::GdipSetPixelOffsetMode(graphics.get(), Gdiplus::PixelOffsetModeHighQuality);
    // Mirrored at its edges, the picture's border pixels are mixed with themselves rather than
    // with transparency, so the preview keeps a clean edge.
    Gdiplus::GpImageAttributes* rawAttributes = nullptr;
    gdip::GdipCreateImageAttributes(&rawAttributes);
    ImageAttributesOwner attributes(rawAttributes);
    if (attributes)
        gdip::GdipSetImageAttributesWrapMode(attributes.get(), Gdiplus::WrapModeTileFlipXY, 0,
                                             FALSE);
    Gdiplus::GpRectF source{};
    Gdiplus::GpUnit unit = Gdiplus::UnitPixel;
    if (gdip::GdipGetImageBounds(picture, &source, &unit) != Gdiplus::Ok)
        return nullptr;
    const Gdiplus::GpStatus drawn = gdip::GdipDrawImageRectRect(
        graphics.get(), picture, 0.0F, 0.0F, static_cast<float>(fitted.width),
        static_cast<float>(fitted.height), source.X, source.Y, source.Width, source.Height, unit,
        attributes.get(), nullptr, nullptr);
    if (drawn != Gdiplus::Ok)
        return nullptr;
    return preview;
}

void DecodeAhead(const std::string& path) {
    auto ahead = std::make_shared<DecodedAhead>();
    ahead->path = path;
    PendingAhead() = ahead;
    std::thread([ahead] {
        // Stamped before the read: a write during it then shows as a change.
        FileStamp stamp = StampOf(ahead->path);
        PictureOwner picture = LoadPictureFile(ahead->path);
        const std::lock_guard<std::mutex> held(ahead->lock);
        ahead->stamp = stamp;
        ahead->picture = std::move(picture);
        ahead->decoding = false;
        ahead->finished.notify_all();
    }).detach();
}

AreaPicture LoadPictureForArea(const std::string& path, PixelSize area) {
    AreaPicture loaded;
    PictureOwner decoded = TakeDecodedAhead(path);
    if (!decoded)
        decoded = LoadPictureFile(path);
    PictureReducer* reducer = CurrentPictureReducer();
    // Only files of the types offered go to the reducer (ImageMagick would read a text file
    // or a script as a picture of its own making), and none of GDI+'s own.
    if (!decoded && reducer != nullptr && !HasUnrepresentableMark(path) &&
        NeedsImageMagickToRead(FileNameOf(path))) {
        Reduction reduction = reducer->Reduce(path);
        loaded.refusal = std::move(reduction.refusal);
        if (!reduction.picture)
            return loaded;
        decoded = LoadPictureFile(reduction.picture->copyPath);
        if (!decoded) {
            DeleteFileAnsi(reduction.picture->copyPath);
            return loaded;
        }
        loaded.size = reduction.picture->size;
        loaded.reducedCopy = std::move(reduction.picture->copyPath);
    } else if (decoded) {
        loaded.size = PictureSize(decoded.get());
    } else {
        return loaded;
    }
    // The area shows the picture at its fitted size only, so the whole decode (and the copy
    // of the file behind it) goes at once; should the preview fail, the whole one draws the
    // same.
    PictureOwner preview = MakeFittedPreview(decoded.get(), area);
    loaded.preview = preview ? std::move(preview) : std::move(decoded);
    return loaded;
}

GraphicsOwner CreatePictureGraphics(HWND area) {
    HDC dc = PictureAreaDc(area);
    if (dc == nullptr)
        return nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    gdip::GdipCreateFromHDC(dc, &graphics);
    return GraphicsOwner(graphics);
}

void DrawPictureFitted(HWND window, Gdiplus::GpImage* picture, int controlId) {
    HWND area = MainWindowArea(window, controlId);
    ClearPictureArea(area);
    if (picture != nullptr)
        DrawInto(area, picture, FittedRect(PictureSize(picture), PictureAreaSize(area)));
    RefreshPictureArea(area);
}

PictureOwner LoadResourcePicture(const std::string& name) {
    const std::string trimmed = TrimBlanks(name);
    if (trimmed.empty())
        return nullptr;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceA(module, trimmed.c_str(), kEmbeddedPictureType);
    if (found == nullptr)
        return nullptr;
    const DWORD size = ::SizeofResource(module, found);
    HGLOBAL loaded = size == 0 ? nullptr : ::LoadResource(module, found);
    const void* bytes = loaded == nullptr ? nullptr : ::LockResource(loaded);
    if (bytes == nullptr)
        return nullptr;

    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    void* copy = memory ? ::GlobalLock(memory.get()) : nullptr;
    if (copy == nullptr)
        return nullptr;
    std::memcpy(copy, bytes, size);
    ::GlobalUnlock(memory.get());
    UniqueComRef<IStream> stream = StreamOwning(std::move(memory));
    if (!stream)
        return nullptr;

    Gdiplus::GpBitmap* bitmap = nullptr;
    const Gdiplus::GpStatus status = gdip::GdipCreateBitmapFromStream(stream.get(), &bitmap);
    PictureOwner picture(bitmap);
    if (status != Gdiplus::Ok)
        return nullptr;
    return picture;
}

void ShowResourcePicture(HWND window, int controlId, const std::string& name) {
    PictureOwner picture = LoadResourcePicture(name);
    HWND area = MainWindowArea(window, controlId);
    ClearPictureArea(area);
    if (picture)
        DrawInto(area, picture.get(), DecorationRect(PictureAreaSize(area)));
    RefreshPictureArea(area);
}

UniqueFont CreateArialFont(HDC dc, int points, bool italic) {
    const int height = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    return UniqueFont(::CreateFontW(height, 0, 0, 0, FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
}

void DrawCornerCaption(HWND window, const std::string& text) {
    HWND area = MainWindowArea(window, kOutputPictureId);
    HDC dc = PictureAreaDc(area);
    if (dc == nullptr)
        return;
    UniqueFont font = CreateArialFont(dc, kCaptionPoints, true);
    ScopedSelectObject selected(dc, font.get());
    ::SetTextColor(dc, kCaptionColour);
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    const std::wstring wide = WidenAnsi(text);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    const PixelPoint at = CornerCaptionOrigin(PictureAreaSize(area), {extent.cx, extent.cy});
    ::TextOutW(dc, at.x, at.y, wide.c_str(), static_cast<int>(wide.size()));
    RefreshPictureArea(area);
}

}  // namespace quillon
