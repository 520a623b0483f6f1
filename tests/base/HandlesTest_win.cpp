// The owners of GDI objects, icons, device contexts and modules: each releases exactly
// what it holds.
#include "base/Handles_win.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

HFONT MakeFont() {
    return ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                         L"Arial");
}

bool Exists(HGDIOBJ object) {
    return ::GetObjectType(object) != 0;
}

bool IconExists(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
}

HICON MakeIcon() {
    return ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
}

TEST(UniqueFont, DeletesTheFontWhenItGoesOutOfScope) {
    HFONT font = MakeFont();
    ASSERT_TRUE(Exists(font));
    { UniqueFont owner(font); }
    EXPECT_FALSE(Exists(font));
}

TEST(UniqueFont, MovingHandsOverOwnershipOnce) {
    HFONT font = MakeFont();
    UniqueFont first(font);
    UniqueFont second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), font);
    {
        UniqueFont third;
        third = std::move(second);
        EXPECT_TRUE(Exists(font));
    }
    EXPECT_FALSE(Exists(font));
}

TEST(OwnerCensus, CountsWhatOwnersHoldThroughMovesResetsAndReleases) {
    const long start = UniqueFont::Live();
    {
        UniqueFont first(MakeFont());
        UniqueFont empty;
        EXPECT_EQ(UniqueFont::Live(), start + 1);
        UniqueFont moved(std::move(first));
        empty = std::move(moved);
        EXPECT_EQ(UniqueFont::Live(), start + 1);
        empty.Reset(MakeFont());
        EXPECT_EQ(UniqueFont::Live(), start + 1);
        UniqueFont second(MakeFont());
        EXPECT_EQ(LiveGdiOwned() - UniqueFont::Live(), LiveGdiOwned() - start - 2);
        ::DeleteObject(second.release());
        EXPECT_EQ(UniqueFont::Live(), start + 1);
    }
    EXPECT_EQ(UniqueFont::Live(), start);
}

TEST(UniqueFont, ResetDeletesTheOldFontAndKeepsTheNew) {
    HFONT oldFont = MakeFont();
    HFONT newFont = MakeFont();
    UniqueFont owner(oldFont);
    owner.Reset(newFont);
    EXPECT_FALSE(Exists(oldFont));
    EXPECT_TRUE(Exists(newFont));
}

TEST(UniqueFont, ReleaseGivesUpOwnershipWithoutDeleting) {
    HFONT font = MakeFont();
    {
        UniqueFont owner(font);
        EXPECT_EQ(owner.release(), font);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(Exists(font));
    ::DeleteObject(font);
}

TEST(UniqueBrush, DeletesTheBrush) {
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    { UniqueBrush owner(brush); }
    EXPECT_FALSE(Exists(brush));
}

TEST(UniqueGdiObject, DeletesAnyKindOfObject) {
    HGDIOBJ pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    { UniqueGdiObject owner(pen); }
    EXPECT_FALSE(Exists(pen));
}

TEST(UniqueIcon, DestroysTheIcon) {
    HICON icon = MakeIcon();
    ASSERT_TRUE(IconExists(icon));
    { UniqueIcon owner(icon); }
    EXPECT_FALSE(IconExists(icon));
}

TEST(UniqueCreatedDc, DeletesTheDeviceContext) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ASSERT_EQ(::GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    { UniqueCreatedDc owner(dc); }
    EXPECT_EQ(::GetObjectType(dc), 0u);
}

TEST(ScopedSelectObject, PutsTheOldObjectBackSoTheNewOneCanBeDeleted) {
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    const HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_FONT);
    HFONT font = MakeFont();
    {
        ScopedSelectObject selected(dc.get(), font);
        EXPECT_TRUE(selected.Selected());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), font);
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);
    { UniqueFont owner(font); }
    EXPECT_FALSE(Exists(font));
}

TEST(ScopedSelectObject, NestedSelectionsUnwindInOrder) {
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    const HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_FONT);
    UniqueFont outer(MakeFont());
    UniqueFont inner(MakeFont());
    {
        ScopedSelectObject first(dc.get(), outer.get());
        {
            ScopedSelectObject second(dc.get(), inner.get());
            EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), inner.get());
        }
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), outer.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);
}

TEST(ScopedSelectObject, WithoutDcOrObjectSelectsNothing) {
    UniqueFont font(MakeFont());
    ScopedSelectObject noDc(nullptr, font.get());
    EXPECT_FALSE(noDc.Selected());
    UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelectObject noObject(dc.get(), nullptr);
    EXPECT_FALSE(noObject.Selected());
}

// Quillon.exe, which this test program never runs, mapped as plain data: a mapping of its
// own that nothing else in the process shares, so whether it is still there shows the
// owner's work.
HMODULE MapQuillonAsData() {
    const std::wstring exe = testing::WindowsPath(testing::RequiredEnvironment("QUILLON_EXE"));
    return ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

bool IsMapped(HMODULE module) {
    // A data-file module's handle is its view's address with the low bits set as a mark.
    const auto* view = reinterpret_cast<const void*>(reinterpret_cast<ULONG_PTR>(module) &
                                                     ~static_cast<ULONG_PTR>(3));
    MEMORY_BASIC_INFORMATION info{};
    return ::VirtualQuery(view, &info, sizeof(info)) == sizeof(info) && info.State != MEM_FREE;
}

TEST(UniqueModule, FreesTheModuleWhenItGoesOutOfScope) {
    HMODULE module = nullptr;
    {
        UniqueModule owner(MapQuillonAsData());
        ASSERT_TRUE(owner);
        module = owner.get();
        EXPECT_TRUE(IsMapped(module));
    }
    EXPECT_FALSE(IsMapped(module));
}

TEST(UniqueModule, ReleaseKeepsTheModuleLoaded) {
    HMODULE module = nullptr;
    {
        UniqueModule owner(MapQuillonAsData());
        module = owner.release();
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(IsMapped(module));
    ::FreeLibrary(module);
    EXPECT_FALSE(IsMapped(module));
}

}  // namespace
}  // namespace quillon
