// Decoding and drawing pictures with GDI+, the picture areas, and the picture chooser,
// under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/AppState_win.h"
#include "app/MenuIds.h"
#include "base/Feedback_win.h"
#include "pictures/InputSlots.h"
#include "pictures/InputSlots_win.h"
#include "pictures/PictureArea_win.h"
#include "pictures/PictureEngine_win.h"
#include "pictures/SlotLayout.h"
#include "support/MainWindowHarness_win.h"
#include "support/Printing.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::operator<<;

namespace fs = std::filesystem;
using testing::Ansi;
using testing::MainWindowHarness;
using testing::TestPicture;

const COLORREF kFace = ::GetSysColor(COLOR_BTNFACE);

// ---- Decoding -------------------------------------------------------------------------

struct FileCase {
    const char* name;
    int width;
    int height;
};

class PictureFile : public ::testing::TestWithParam<FileCase> {
  protected:
    void SetUp() override { MainWindowHarness starter; }  // starts GDI+ once
};

TEST_P(PictureFile, DecodesWithItsPixelSize) {
    PictureOwner picture = LoadPictureFile(Ansi(TestPicture(GetParam().name)));
    ASSERT_TRUE(picture);
    EXPECT_EQ(PictureSize(picture.get()), (PixelSize{GetParam().width, GetParam().height}));
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFile,
                         ::testing::Values(FileCase{"photo.jpg", 1600, 1200},
                                           FileCase{"tall.png", 600, 900},
                                           FileCase{"small.gif", 100, 50},
                                           FileCase{"banner.bmp", 256, 24}),
                         [](const auto& test) {
                             std::string name = test.param.name;
                             return name.substr(0, name.find('.'));
                         });

TEST(PictureLoading, WhatIsNoPictureGivesNothing) {
    MainWindowHarness harness;
    const fs::path text = harness.folder().Write("notes.txt", "hello\r\n");
    const fs::path empty = harness.folder().Write("empty.png", "");
    const fs::path fake = harness.folder().Write("fake.jpg", "\xFF\xD8\xFF garbage");
    EXPECT_FALSE(LoadPictureFile(Ansi(text)));
    EXPECT_FALSE(LoadPictureFile(Ansi(empty)));
    EXPECT_FALSE(LoadPictureFile(Ansi(fake)));
    EXPECT_FALSE(LoadPictureFile(Ansi(harness.folder().path() / "missing.png")));
    EXPECT_FALSE(LoadPictureFile(Ansi(harness.folder().path())));
    EXPECT_FALSE(LoadPictureFile(""));
}

TEST(PictureLoading, AMarkedNameIsNeverOpened) {
    MainWindowHarness harness;
    // Even were there a file whose name the mark could be mistaken for, it stays untouched.
    EXPECT_FALSE(LoadPictureFile(Ansi(harness.folder().path()) + "\\?.gif"));
    EXPECT_FALSE(LoadPictureFile(Ansi(TestPicture("small.gif")) + "?"));
}

// A picture decoded ahead is taken only for its own file, and only while that is unchanged.
TEST(PictureLoading, WhatWasDecodedAheadServesOnlyItsUnchangedFile) {
    MainWindowHarness harness;
    const fs::path file = harness.folder().path() / "ahead.png";
    const fs::path other = TestPicture("small.gif");
    struct Row {
        bool rewritten;
        fs::path loaded;
        PixelSize size;
    };
    for (const Row& row :
         {Row{false, file, {600, 900}}, Row{true, file, {100, 50}}, Row{false, other, {100, 50}}}) {
        fs::copy_file(TestPicture("tall.png"), file, fs::copy_options::overwrite_existing);
        DecodeAhead(Ansi(file));
        ::Sleep(1000);  // the decode is done: a change now comes after it
        if (row.rewritten)
            fs::copy_file(other, file, fs::copy_options::overwrite_existing);
        EXPECT_EQ(LoadPictureForArea(Ansi(row.loaded), {300, 300}).size, row.size)
            << Ansi(row.loaded) << (row.rewritten ? " rewritten" : "");
    }
}

// ---- Embedded pictures ----------------------------------------------------------------

TEST(EmbeddedPicture, DecodesFromTheProgramsResourcesByTrimmedName) {
    MainWindowHarness starter;
    for (const char* name : {"TESTPNG", "  TESTPNG  ", "testpng"}) {
        PictureOwner picture = LoadResourcePicture(name);
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(PictureSize(picture.get()), (PixelSize{40, 30})) << name;
    }
}

TEST(EmbeddedPicture, AnEmptyOrUnknownNameGivesNothing) {
    MainWindowHarness starter;
    EXPECT_FALSE(LoadResourcePicture(""));
    EXPECT_FALSE(LoadResourcePicture("   "));
    EXPECT_FALSE(LoadResourcePicture("NOSUCHPICTURE"));
    EXPECT_FALSE(LoadResourcePicture("AICO"));  // an icon, not an embedded picture
}

TEST(EmbeddedPicture, StaysDrawableLongAfterItWasLoaded) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    std::vector<PictureOwner> pictures;
    for (int i = 0; i < 20; ++i)
        pictures.push_back(LoadResourcePicture("TESTPNG"));
    std::vector<std::string> churn(2000, std::string(4096, 'x'));  // reuse freed memory
    HWND area = harness.Control(kOutputPictureId);
    for (const PictureOwner& picture : pictures) {
        ClearPictureArea(area);
        GraphicsOwner graphics = CreatePictureGraphics(area);
        ASSERT_TRUE(graphics);
        EXPECT_EQ(
            Gdiplus::DllExports::GdipDrawImageRectI(graphics.get(), picture.get(), 0, 0, 40, 30),
            Gdiplus::Ok);
        graphics.reset();
        EXPECT_EQ(::GetPixel(PictureAreaDc(area), 20, 15), RGB(0, 255, 0));
    }
}

TEST(EmbeddedPicture, IsStretchedIntoTheAreaLessSixPixels) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    HWND area = harness.Control(kOutputPictureId);  // 240 x 217: drawn 234 x 211
    ShowResourcePicture(harness.window(), kOutputPictureId, "TESTPNG");
    HDC dc = PictureAreaDc(area);
    // Inside the stretched picture (its edges are smoothed into the background), and
    // beyond its 234 x 211 pixels.
    EXPECT_EQ(::GetPixel(dc, 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(::GetPixel(dc, 226, 203), RGB(0, 255, 0));
    EXPECT_EQ(::GetPixel(dc, 234, 100), kFace);
    EXPECT_EQ(::GetPixel(dc, 100, 211), kFace);
    EXPECT_EQ(::GetPixel(dc, 239, 216), kFace);
}

TEST(EmbeddedPicture, AMissingOneLeavesTheAreaCleared) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    HWND area = harness.Control(kOutputPictureId);
    ShowResourcePicture(harness.window(), kOutputPictureId, "TESTPNG");
    ShowResourcePicture(harness.window(), kOutputPictureId, "NOSUCHPICTURE");
    for (int y = 0; y < 217; y += 5) {
        for (int x = 0; x < 240; x += 5)
            ASSERT_EQ(::GetPixel(PictureAreaDc(area), x, y), kFace) << x << "," << y;
    }
}

TEST(EmbeddedPicture, TheProgramsDecorationsHaveTheirSizesWhenCarried) {
    MainWindowHarness starter;
    for (const auto& [name, size] :
         {std::pair{"WIZ", PixelSize{256, 256}}, std::pair{"BAL", PixelSize{240, 217}}}) {
        if (::FindResourceA(nullptr, name, "#10") == nullptr) {
            ADD_FAILURE() << name << " is not among the program's resources yet";
            continue;
        }
        PictureOwner picture = LoadResourcePicture(name);
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(PictureSize(picture.get()), size) << name;
    }
}

// ---- Fitted drawing -------------------------------------------------------------------

TEST(FittedDrawing, ExactHalfRoundsToEvenOnTheScreenToo) {
    MainWindowHarness harness;
    harness.AddScript("one.xml", 1, "One");
    ASSERT_NE(harness.Open(), nullptr);
    ASSERT_TRUE(harness.ChooseScript("One"));
    PictureOwner banner = LoadPictureFile(Ansi(TestPicture("banner.bmp")));
    ASSERT_TRUE(banner);
    DrawPictureFitted(App().mainWindow, banner.get(),
                      kSlotIdBase + 1);  // 256 x 24 into 240 x 216: 0, 97, 240, 22
    HDC dc = PictureAreaDc(harness.Control(kSlotIdBase + 1));
    EXPECT_EQ(::GetPixel(dc, 120, 96), kFace);
    EXPECT_EQ(::GetPixel(dc, 120, 98), RGB(0, 0, 255));
    EXPECT_EQ(::GetPixel(dc, 120, 117), RGB(0, 0, 255));
    EXPECT_EQ(::GetPixel(dc, 120, 119), kFace);
}

TEST(FittedDrawing, NoPictureJustClearsTheArea) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    ShowResourcePicture(harness.window(), kOutputPictureId, "TESTPNG");
    DrawPictureFitted(App().mainWindow, nullptr, kOutputPictureId);
    EXPECT_EQ(::GetPixel(PictureAreaDc(harness.Control(kOutputPictureId)), 20, 20), kFace);
}

// ---- Slot previews --------------------------------------------------------------------

// A picture dropped on slot 1, where it is drawn (written out from the fitting rules), and
// the colours of its left and right halves.
// Works the open-file dialog from a second thread while the window's thread waits in it.
class DialogDriver : public testing::ModalDriver {
  public:
    explicit DialogDriver(std::function<void(HWND)> act)
        : ModalDriver(
              [] {
                  HWND dialog = ::FindWindowW(L"#32770", L"Quillon");
                  const bool shown = dialog != nullptr && ::IsWindowVisible(dialog);
                  return shown && dialog != App().mainWindow ? dialog : nullptr;
              },
              std::move(act),
              [](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }) {}
};

constexpr int kFileNameBox = 0x47C;  // cmb13: the file-name box of the open dialog
constexpr int kFileTypeBox = 0x470;  // cmb1: the file-type list

// Fills a slot through the open-file dialog, as a click on the empty slot does.
bool ChooseInDialog(MainWindowHarness& harness, int slotId, const std::wstring& path,
                    WORD click = STN_CLICKED) {
    DialogDriver driver([&](HWND dialog) {
        ::SetDlgItemTextW(dialog, kFileNameBox, path.c_str());
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    harness.Click(slotId, click);
    return driver.Found();
}

struct SlotPreviewCase {
    const char* file;
    int argCount;
    const char* status;
    PixelRect drawn;
    COLORREF left;
    COLORREF right;
    int tolerance = 0;    // per colour channel, for types that store colours with loss
    bool chosen = false;  // through the open-file dialog rather than dropped
};

void PrintTo(const SlotPreviewCase& c, std::ostream* out) {
    *out << c.file << (c.chosen ? " chosen" : " dropped") << " in slot 1 of " << c.argCount;
}

class SlotPreview : public ::testing::TestWithParam<SlotPreviewCase> {};

TEST_P(SlotPreview, HoldsNoMoreThanItDrawsAndReportsTheTrueSize) {
    const SlotPreviewCase& want = GetParam();
    MainWindowHarness harness;
    harness.AddScript("script.xml", want.argCount, "Script");
    ASSERT_NE(harness.Open(), nullptr);
    ASSERT_TRUE(harness.ChooseScript("Script"));
    if (want.chosen)
        ASSERT_TRUE(ChooseInDialog(harness, kSlotIdBase + 1, TestPicture(want.file).wstring()));
    else
        harness.DropOn(kSlotIdBase + 1, {TestPicture(want.file).wstring()});

    const InputSlot& slot = InputSlots()[1];
    ASSERT_TRUE(slot.picture) << harness.Text(kInputStatusId);
    EXPECT_EQ(harness.Text(kInputStatusId), want.status);
    // The size a run's batch takes from the slot is the one the status shows.
    EXPECT_EQ(PictureStatusText(slot.path, slot.width, slot.height), want.status);
    EXPECT_EQ(PictureSize(SlotImage(slot)), (PixelSize{want.drawn.width, want.drawn.height}));

    // Drawn from the preview: centred, shrunk whole (both halves show), edges where the
    // fitting puts them and button face beyond them.
    HWND area = harness.Control(kSlotIdBase + 1);
    const PixelSize size = PictureAreaSize(area);
    HDC dc = PictureAreaDc(area);
    const PixelRect& at = want.drawn;
    const int left = at.x;
    const int right = at.x + at.width - 1;
    const int top = at.y;
    const int bottom = at.y + at.height - 1;
    const int middleY = at.y + at.height / 2;
    const int leftX = at.x + at.width / 4;
    const auto shows = [&](int x, int y, COLORREF colour) {
        const COLORREF seen = ::GetPixel(dc, x, y);
        for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((seen >> shift) & 0xFF) -
                         static_cast<int>((colour >> shift) & 0xFF)) > want.tolerance)
                return ::testing::AssertionFailure() << std::hex << seen << " at " << x << "," << y;
        }
        return ::testing::AssertionSuccess();
    };
    EXPECT_TRUE(shows(leftX, middleY, want.left));
    EXPECT_TRUE(shows(at.x + at.width * 3 / 4, middleY, want.right));
    EXPECT_TRUE(shows(left, middleY, want.left));
    EXPECT_TRUE(shows(right, middleY, want.right));
    EXPECT_TRUE(shows(leftX, top, want.left));
    EXPECT_TRUE(shows(leftX, bottom, want.left));
    if (left > 0) {
        EXPECT_EQ(::GetPixel(dc, left - 1, middleY), kFace);
    }
    if (right + 1 < size.width) {
        EXPECT_EQ(::GetPixel(dc, right + 1, middleY), kFace);
    }
    if (top > 0) {
        EXPECT_EQ(::GetPixel(dc, leftX, top - 1), kFace);
    }
    if (bottom + 1 < size.height) {
        EXPECT_EQ(::GetPixel(dc, leftX, bottom + 1), kFace);
    }
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// large.png is 3000 x 2000; the slot areas are 240 x 216, 118 x 216, 240 x 70 and 118 x 106.
INSTANTIATE_TEST_SUITE_P(
    Layouts, SlotPreview,
    ::testing::Values(
        SlotPreviewCase{"large.png", 1, "large.png 3000x2000", {0, 28, 240, 160}, kRed, kBlue},
        SlotPreviewCase{"large.png", 2, "large.png 3000x2000", {0, 68, 118, 79}, kRed, kBlue},
        SlotPreviewCase{"large.png", 3, "large.png 3000x2000", {67, 0, 105, 70}, kRed, kBlue},
        SlotPreviewCase{"large.png", 4, "large.png 3000x2000", {0, 13, 118, 79}, kRed, kBlue},
        // Smaller than the area: kept at its own size, never enlarged.
        SlotPreviewCase{"small.gif", 1, "small.gif 100x50", {70, 83, 100, 50}, kRed, kRed},
        // Types GDI+ cannot read, shown from ImageMagick's reduced copy at their true size.
        SlotPreviewCase{"two.webp", 1, "two.webp 640x200", {0, 70, 240, 75}, kRed, kBlue},
        SlotPreviewCase{"two.heic", 1, "two.heic 640x200", {0, 70, 240, 75}, kRed, kBlue, 40},
        SlotPreviewCase{"two.avif", 2, "two.avif 640x200", {0, 89, 118, 37}, kRed, kBlue, 40},
        SlotPreviewCase{"two.psd", 3, "two.psd 640x200", {8, 0, 224, 70}, kRed, kBlue},
        SlotPreviewCase{"two.tga", 4, "two.tga 640x200", {0, 34, 118, 37}, kRed, kBlue},
        SlotPreviewCase{"two.ppm", 1, "two.ppm 640x200", {0, 70, 240, 75}, kRed, kBlue},
        SlotPreviewCase{"two.heic", 3, "two.heic 640x200", {8, 0, 224, 70}, kRed, kBlue, 40, true}),
    [](const auto& test) {
        std::string name = test.param.file;
        name[name.find('.')] = '_';
        return name + std::to_string(test.param.argCount) + (test.param.chosen ? "Chosen" : "");
    });

// Files that are no picture of theirs, or of a type this ImageMagick has no decoder for,
// leave the slot empty with a beep and a word on why.
class RefusedPicture : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(RefusedPicture, LeavesTheSlotEmptyAndSaysWhy) {
    MainWindowHarness harness;
    harness.AddScript("script.xml", 1, "Script");
    ASSERT_NE(harness.Open(), nullptr);
    ASSERT_TRUE(harness.ChooseScript("Script"));
    const unsigned beeps = RefusalBeepCount();
    harness.DropOn(kSlotIdBase + 1, {TestPicture(GetParam().first).wstring()});
    EXPECT_FALSE(InputSlots()[1].picture);
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(harness.Text(kInputStatusId), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedPicture,
    ::testing::Values(std::pair{"corrupt.webp", "Picture format not supported"},
                      std::pair{"text.webp", "Picture format not supported"},
                      std::pair{"two.iff", "This ImageMagick cannot read IFF pictures"},
                      std::pair{"two.dng", "This ImageMagick cannot read DNG pictures"}));

TEST(FilledSlots, EachHoldsOnePictureUntilTheNextLayout) {
    MainWindowHarness harness;
    harness.AddScript("two.xml", 2, "Two pictures");
    ASSERT_NE(harness.Open(), nullptr);
    ASSERT_TRUE(harness.ChooseScript("Two pictures"));
    const long before = PictureOwner::Live();
    for (int round = 0; round < 4; ++round) {
        harness.DropOn(kSlotIdBase + 1, {TestPicture("large.png").wstring()});
        harness.DropOn(kSlotIdBase + 2,
                       {TestPicture(round % 2 ? "small.gif" : "large.png").wstring()});
        // The preview only: the full decode is gone, and so is the picture it replaced.
        EXPECT_EQ(PictureOwner::Live(), before + 2) << round;
    }
    ASSERT_TRUE(harness.ChooseScript("Two pictures"));
    EXPECT_EQ(PictureOwner::Live(), before);
}

// ---- Corner caption -------------------------------------------------------------------

TEST(CornerCaption, IsWrittenTopRightOverThePicture) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    HDC dc = PictureAreaDc(harness.Control(kOutputPictureId));
    ASSERT_NE(dc, nullptr);
    // A picture filling the whole 240 x 217 area, in a colour of its own.
    const COLORREF picture = RGB(0, 128, 255);
    const RECT whole{0, 0, 240, 217};
    UniqueBrush brush(::CreateSolidBrush(picture));
    ::FillRect(dc, &whole, brush.get());
    const std::string text = "Found ImageMagick v6.9.11-60";
    DrawCornerCaption(harness.window(), text);

    // The caption is Arial, 8 points, italic, in RGB(170, 100, 160) on a button-face strip as
    // large as the text's extent in that font, 8 pixels from the right edge and 6 from the top.
    const COLORREF caption = RGB(170, 100, 160);
    const testing::TextMeasure measured = testing::MeasureText(
        dc, {L"Arial", 8, true, caption, kFace}, std::wstring(text.begin(), text.end()));
    const SIZE extent = measured.extent;
    ASSERT_GT(extent.cx, 0);
    ASSERT_GT(measured.ink.right, measured.ink.left) << "the font draws no ink";
    const POINT origin{240 - 8 - extent.cx, 6};

    RECT face{1000, 1000, -1, -1};  // bounding boxes, right and bottom exclusive
    RECT ink{1000, 1000, -1, -1};
    int facePixels = 0;
    for (int y = 0; y < 217; ++y) {
        for (int x = 0; x < 240; ++x) {
            const COLORREF pixel = ::GetPixel(dc, x, y);
            RECT* box = pixel == kFace ? &face : pixel == caption ? &ink : nullptr;
            if (box == nullptr)
                continue;
            facePixels += pixel == kFace ? 1 : 0;
            box->left = std::min<LONG>(box->left, x);
            box->top = std::min<LONG>(box->top, y);
            box->right = std::max<LONG>(box->right, x + 1);
            box->bottom = std::max<LONG>(box->bottom, y + 1);
        }
    }
    // The picture is covered by the strip and nowhere else.
    ASSERT_GE(face.right, 0) << "no strip";
    EXPECT_EQ(face.left, origin.x);
    EXPECT_EQ(face.top, origin.y);
    EXPECT_EQ(face.right, origin.x + extent.cx);
    EXPECT_EQ(face.bottom, origin.y + extent.cy);
    // A strip, not a frame: the text's ink covers less than half of it.
    EXPECT_GT(facePixels, extent.cx * extent.cy / 2);
    // The ink is where that font puts it for text drawn at the strip's corner.
    ASSERT_GE(ink.right, 0) << "no caption ink";
    EXPECT_EQ(ink.left, origin.x + measured.ink.left);
    EXPECT_EQ(ink.top, origin.y + measured.ink.top);
    EXPECT_EQ(ink.right, origin.x + measured.ink.right);
    EXPECT_EQ(ink.bottom, origin.y + measured.ink.bottom);
}

// ---- Picture areas --------------------------------------------------------------------

TEST(PictureArea, KeepsAnImageOfItsOuterSizeAndPaintsFromIt) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    HWND area = harness.Control(kOutputPictureId);
    EXPECT_EQ(PictureAreaSize(area), (PixelSize{240, 217}));
    HDC image = PictureAreaDc(area);
    ASSERT_NE(image, nullptr);
    BITMAP bitmap{};
    ::GetObjectW(::GetCurrentObject(image, OBJ_BITMAP), sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 240);
    EXPECT_EQ(bitmap.bmHeight, 217);

    RECT block{100, 100, 110, 110};
    UniqueBrush brush(::CreateSolidBrush(RGB(10, 20, 30)));
    ::FillRect(image, &block, brush.get());
    ::RedrawWindow(area, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC screen = ::GetDC(area);
    EXPECT_EQ(::GetPixel(screen, 104, 104), RGB(10, 20, 30));
    ::ReleaseDC(area, screen);

    // A copy printed for someone else (such as a screenshot) shows the same image.
    UniqueCreatedDc copy(::CreateCompatibleDC(image));
    UniqueBitmap target(::CreateCompatibleBitmap(image, 240, 217));
    ScopedSelectObject selected(copy.get(), target.get());
    ::SendMessageW(area, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(copy.get()), PRF_CLIENT);
    EXPECT_EQ(::GetPixel(copy.get(), 105, 105), RGB(10, 20, 30));
}

TEST(PictureArea, OrdinaryWindowsAreNoPictureAreas) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    EXPECT_EQ(PictureAreaDc(harness.Control(kInputStatusId)), nullptr);
    EXPECT_EQ(PictureAreaDc(nullptr), nullptr);
    ClearPictureArea(harness.Control(kInputStatusId));  // harmless
    RefreshPictureArea(nullptr);
}

TEST(PictureArea, ReportsClicksToItsParent) {
    MainWindowHarness harness;
    ASSERT_NE(harness.Open(), nullptr);
    const unsigned beeps = RefusalBeepCount();
    // A real click on the slot area while no script is chosen: the window beeps.
    HWND area = harness.Control(kSlotIdBase + 1);
    ::SendMessageW(area, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageW(area, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    testing::PumpMessages();
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
}

class PictureChooser : public ::testing::Test {
  protected:
    void SetUp() override {
        harness_.AddScript("two.xml", 2, "Two pictures");
        ASSERT_NE(harness_.Open(), nullptr);
        ASSERT_TRUE(harness_.ChooseScript("Two pictures"));
    }
    MainWindowHarness harness_;
};

TEST_F(PictureChooser, OffersTheTwentySevenPictureTypesAndCancelChangesNothing) {
    ::SetWindowTextW(harness_.Control(kOutputStatusId), L"earlier.png created");
    std::vector<std::wstring> types;
    {
        DialogDriver driver([&](HWND dialog) {
            types = testing::ComboItems(::GetDlgItem(dialog, kFileTypeBox));
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        harness_.Click(kSlotIdBase + 1);
        ASSERT_TRUE(driver.Found());
    }
    ASSERT_EQ(types.size(), 27u);
    EXPECT_EQ(types.front(), L"All pictures");
    EXPECT_EQ(types[1], L"JPEG (*.jpg, *.jpeg, *.jpe, *.jfif)");
    EXPECT_EQ(types[4], L"WebP (*.webp)");
    EXPECT_EQ(types.back(), L"X Pixmap (*.xpm)");
    EXPECT_FALSE(InputSlots()[1].picture);
    EXPECT_EQ(harness_.Text(kOutputStatusId), "");  // emptied before the dialog opened
    EXPECT_EQ(harness_.Text(kInputStatusId), "Drag & drop 2 pictures on the areas above");
}

TEST_F(PictureChooser, TheChosenPictureFillsTheClickedSlot) {
    ASSERT_TRUE(
        ChooseInDialog(harness_, kSlotIdBase + 2, TestPicture("tall.png").wstring(), STN_DBLCLK));
    EXPECT_EQ(InputSlots()[2].path, Ansi(TestPicture("tall.png")));
    EXPECT_EQ(InputSlots()[2].width, 600);
    EXPECT_EQ(harness_.Text(kInputStatusId), "tall.png 600x900");
    EXPECT_FALSE(InputSlots()[1].picture);
}

TEST_F(PictureChooser, AChosenFileThatIsNoPictureIsRefused) {
    const std::wstring chosen = harness_.folder().Write("notes.txt", "text").wstring();
    const unsigned beeps = RefusalBeepCount();
    ASSERT_TRUE(ChooseInDialog(harness_, kSlotIdBase + 1, chosen));
    EXPECT_EQ(RefusalBeepCount(), beeps + 1);
    EXPECT_EQ(harness_.Text(kInputStatusId), "Picture format not supported");
    EXPECT_FALSE(InputSlots()[1].picture);
}

}  // namespace
}  // namespace quillon
