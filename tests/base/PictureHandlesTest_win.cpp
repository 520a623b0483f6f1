// The owners the picture code adds: global memory, COM references, borrowed window device
// contexts, GDI+ pictures and drawing contexts.
#include "base/Handles_win.h"

#include <gtest/gtest.h>

#include <utility>

#include <objbase.h>

#include "pictures/PictureEngine_win.h"

namespace quillon {
namespace {

namespace gdip = Gdiplus::DllExports;

// Counts its references, standing in for a COM object.
struct CountedReferences {
    ULONG AddRef() { return static_cast<ULONG>(++references); }
    ULONG Release() { return static_cast<ULONG>(--references); }
    int references = 1;
};

TEST(UniqueGlobal, FreesTheMemoryOnceAndReleaseKeepsIt) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(memory, nullptr);
    {
        UniqueGlobal owner(memory);
        UniqueGlobal moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(::GlobalSize(memory), 64u);
    }
    EXPECT_EQ(::GlobalFlags(memory), GMEM_INVALID_HANDLE);

    HGLOBAL kept = ::GlobalAlloc(GMEM_MOVEABLE, 8);
    { UniqueGlobal(kept).release(); }
    EXPECT_EQ(::GlobalSize(kept), 8u);
    ::GlobalFree(kept);
}

TEST(UniqueComRef, GivesBackExactlyOneReference) {
    CountedReferences object;
    object.AddRef();  // the owner's reference
    {
        UniqueComRef<CountedReferences> owner(&object);
        UniqueComRef<CountedReferences> second(std::move(owner));
        EXPECT_EQ(object.references, 2);
    }
    EXPECT_EQ(object.references, 1);
}

TEST(WindowDc, GivesTheScreenContextBackAndCanBeMoved) {
    HDC dc = nullptr;
    {
        WindowDc screen(nullptr);
        ASSERT_TRUE(screen);
        dc = screen.get();
        WindowDc moved(std::move(screen));
        EXPECT_FALSE(screen);
        EXPECT_EQ(moved.get(), dc);
        EXPECT_NE(::GetDeviceCaps(moved.get(), LOGPIXELSY), 0);
    }
    // Windows gives back only a context that is still borrowed.
    EXPECT_EQ(::ReleaseDC(nullptr, dc), 0) << "the context was still borrowed";
}

TEST(PictureOwner, DisposesOfThePictureItHoldsAndSoLetsGoOfItsSource) {
    StartPictureEngine();
    // A 1 x 1 BMP file, read through a stream that GDI+ holds while the picture lives.
    const unsigned char bmp[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0,
                                 0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0, 0, 0, 0,
                                 0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 0, 0};
    IStream* raw = nullptr;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &raw), S_OK);
    UniqueComRef<IStream> stream(raw);
    ASSERT_EQ(stream.get()->Write(bmp, sizeof(bmp), nullptr), S_OK);
    ASSERT_EQ(stream.get()->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);
    const auto references = [&] {
        stream.get()->AddRef();
        return stream.get()->Release();
    };
    Gdiplus::GpImage* image = nullptr;
    ASSERT_EQ(gdip::GdipLoadImageFromStream(stream.get(), &image), Gdiplus::Ok);
    PictureOwner picture(image);
    UINT width = 0;
    EXPECT_EQ(gdip::GdipGetImageWidth(picture.get(), &width), Gdiplus::Ok);
    EXPECT_EQ(width, 1u);
    ASSERT_GT(references(), 1u) << "GDI+ holds no reference to the stream it read";
    PictureOwner moved(std::move(picture));
    EXPECT_FALSE(picture);
    EXPECT_GT(references(), 1u) << "the move disposed of the picture";
    moved.reset();
    EXPECT_FALSE(moved);
    EXPECT_EQ(references(), 1u) << "the picture was not disposed of";
    PictureOwner empty;  // an empty owner disposes of nothing
}

TEST(PictureOwner, CountsThePicturesItHolds) {
    StartPictureEngine();
    const long before = PictureOwner::Live();
    Gdiplus::GpBitmap* first = nullptr;
    Gdiplus::GpBitmap* second = nullptr;
    ASSERT_EQ(gdip::GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &first),
              Gdiplus::Ok);
    ASSERT_EQ(gdip::GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &second),
              Gdiplus::Ok);
    {
        PictureOwner picture(first);
        EXPECT_EQ(PictureOwner::Live(), before + 1);
        PictureOwner moved(std::move(picture));
        EXPECT_EQ(PictureOwner::Live(), before + 1);
        moved.reset(second);  // the first one goes, the second one comes
        EXPECT_EQ(PictureOwner::Live(), before + 1);
        PictureOwner none = nullptr;
        EXPECT_EQ(PictureOwner::Live(), before + 1);
        Gdiplus::GpImage* kept = moved.release();
        EXPECT_EQ(PictureOwner::Live(), before);
        moved.reset(kept);
    }
    EXPECT_EQ(PictureOwner::Live(), before);
}

TEST(GraphicsOwner, DrawsOnItsContextUntilDeleted) {
    StartPictureEngine();
    WindowDc screen(nullptr);
    UniqueCreatedDc dc(::CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), 4, 4));
    ScopedSelectObject selected(dc.get(), bitmap.get());
    Gdiplus::GpGraphics* raw = nullptr;
    ASSERT_EQ(gdip::GdipCreateFromHDC(dc.get(), &raw), Gdiplus::Ok);
    GraphicsOwner graphics(raw);
    EXPECT_EQ(gdip::GdipGraphicsClear(graphics.get(), 0xFF00FF00), Gdiplus::Ok);
    graphics.reset();
    EXPECT_EQ(::GetPixel(dc.get(), 1, 1), RGB(0, 255, 0));
}

}  // namespace
}  // namespace quillon
