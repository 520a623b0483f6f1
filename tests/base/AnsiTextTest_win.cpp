// Text between UTF-16 and the ANSI code page, for a Western code page (1252) and for the
// UTF-8 code page (65001) that Windows uses when set to "Use Unicode UTF-8 for worldwide
// language support".
#include "base/AnsiText_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>

#include <windows.h>

#include "base/ProgramFolder_win.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

constexpr unsigned kWestern = 1252;
constexpr unsigned kUtf8 = 65001;

// Windows refuses WideCharToMultiByte for UTF-8 with any flag but WC_ERR_INVALID_CHARS or with
// a default character (ERROR_INVALID_PARAMETER); that refusal emptied every path. Wine lets
// both through, so while these tests run the program's calls go to this stand-in, which
// refuses as Windows does and otherwise hands the call on.
using WideToMultiByte = int(WINAPI*)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL);
WideToMultiByte systemWideToMultiByte = nullptr;

int WINAPI WideToMultiByteAsWindows(UINT codePage, DWORD flags, LPCWCH wide, int wideLength,
                                    LPSTR bytes, int byteSize, LPCCH defaultChar,
                                    LPBOOL usedDefault) {
    const UINT effective = codePage == CP_ACP ? ::GetACP() : codePage;
    if (effective == CP_UTF8 && ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0 ||
                                 defaultChar != nullptr || usedDefault != nullptr)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return systemWideToMultiByte(codePage, flags, wide, wideLength, bytes, byteSize, defaultChar,
                                 usedDefault);
}

// Puts the stand-in into this program's import of WideCharToMultiByte for as long as it lives.
class WindowsConversionRules {
  public:
    WindowsConversionRules() {
        testing::ForEachImport(::GetModuleHandleW(nullptr), [this](const testing::ImportEntry& e) {
            if (e.name == nullptr || std::strcmp(e.name, "WideCharToMultiByte") != 0)
                return true;
            slot_ = e.slot;
            return false;
        });
        if (slot_ == nullptr)
            return;
        systemWideToMultiByte = reinterpret_cast<WideToMultiByte>(slot_->u1.Function);
        if (!testing::WriteImportSlot(slot_,
                                      reinterpret_cast<const void*>(&WideToMultiByteAsWindows)))
            slot_ = nullptr;
    }
    ~WindowsConversionRules() {
        if (slot_ != nullptr)
            testing::WriteImportSlot(slot_, reinterpret_cast<const void*>(systemWideToMultiByte));
    }
    WindowsConversionRules(const WindowsConversionRules&) = delete;
    WindowsConversionRules& operator=(const WindowsConversionRules&) = delete;
    bool InForce() const { return slot_ != nullptr; }

  private:
    IMAGE_THUNK_DATA* slot_ = nullptr;
};

// Every conversion test runs under Windows' rules.
class UnderWindowsRules : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(rules_.InForce()); }

  private:
    WindowsConversionRules rules_;
};

TEST_F(UnderWindowsRules, TheStandInRefusesWhatWindowsRefuses) {
    BOOL usedDefault = FALSE;
    char bytes[8] = {};
    EXPECT_EQ(
        ::WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, L"a", 1, bytes, 8, "?", &usedDefault),
        0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(
        ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, L"a", 1, bytes, 8, nullptr, nullptr),
        1);
}

// "é" (U+00E9), "ω" (U+03C9), "ā" (U+0101), "中" (U+4E2D) and "😀" (U+1F600, a surrogate
// pair in UTF-16), with their bytes written out by hand.
struct NarrowCase {
    const char* name;
    std::wstring wide;
    unsigned codePage;
    std::optional<std::string> exact;
    std::string marked;
};

void PrintTo(const NarrowCase& c, std::ostream* out) {
    *out << c.name;
}

class Narrowing : public UnderWindowsRules, public ::testing::WithParamInterface<NarrowCase> {};

TEST_P(Narrowing, GivesTheExactBytesOrRefuses) {
    const NarrowCase& c = GetParam();
    EXPECT_EQ(NarrowToCodePage(c.wide, c.codePage), c.exact);
}

TEST_P(Narrowing, MarksWhatHasNoExactForm) {
    const NarrowCase& c = GetParam();
    EXPECT_EQ(NarrowToCodePageMarked(c.wide, c.codePage), c.marked);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Narrowing,
    ::testing::Values(NarrowCase{"AccentIn1252", L"caf\u00e9.png", kWestern, "caf\xE9.png",
                                 "caf\xE9.png"},
                      NarrowCase{"GreekHasNoFormIn1252", L"caf\u00e9 \u03c9.png", kWestern,
                                 std::nullopt, "caf\xE9 ?.png"},
                      NarrowCase{"NoBestFitIn1252", L"\u0101.png", kWestern, std::nullopt, "?.png"},
                      NarrowCase{"EmptyIn1252", L"", kWestern, "", ""},
                      NarrowCase{"AccentAndGreekIn65001", L"caf\u00e9 \u03c9.png", kUtf8,
                                 "caf\xC3\xA9 \xCF\x89.png", "caf\xC3\xA9 \xCF\x89.png"},
                      NarrowCase{"CjkAndSurrogatePairIn65001", L"\u4e2d\U0001F600", kUtf8,
                                 "\xE4\xB8\xAD\xF0\x9F\x98\x80", "\xE4\xB8\xAD\xF0\x9F\x98\x80"},
                      NarrowCase{"LoneSurrogateIn65001", std::wstring{L'a', wchar_t(0xD800), L'b'},
                                 kUtf8, std::nullopt, "a?b"},
                      NarrowCase{"LoneLowSurrogateAtTheEndIn65001",
                                 std::wstring{L'a', wchar_t(0xDC00)}, kUtf8, std::nullopt, "a?"},
                      NarrowCase{"EmptyIn65001", L"", kUtf8, "", ""}),
    [](const ::testing::TestParamInfo<NarrowCase>& param) {
        return std::string(param.param.name);
    });

struct WidenCase {
    const char* name;
    std::string bytes;
    unsigned codePage;
    std::wstring wide;
};

void PrintTo(const WidenCase& c, std::ostream* out) {
    *out << c.name;
}

class Widening : public ::testing::TestWithParam<WidenCase> {};

TEST_P(Widening, ReadsTheBytesInTheCodePage) {
    const WidenCase& c = GetParam();
    EXPECT_EQ(WidenFromCodePage(c.bytes, c.codePage), c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Widening,
    ::testing::Values(
        WidenCase{"AccentIn1252", "caf\xE9", kWestern, L"caf\u00e9"},
        WidenCase{"EmptyIn1252", "", kWestern, L""},
        WidenCase{"AccentAndGreekIn65001", "caf\xC3\xA9 \xCF\x89", kUtf8, L"caf\u00e9 \u03c9"},
        WidenCase{"FourByteCharacterIn65001", "\xF0\x9F\x98\x80", kUtf8, L"\U0001F600"},
        // A byte that is no UTF-8 still shows: as the replacement character.
        WidenCase{"Stray1252ByteIn65001", "caf\xE9", kUtf8, L"caf\uFFFD"},
        WidenCase{"EmptyIn65001", "", kUtf8, L""}),
    [](const ::testing::TestParamInfo<WidenCase>& param) { return std::string(param.param.name); });

struct RoundTripCase {
    const char* name;
    std::wstring text;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.name;
}

class Utf8RoundTrip : public UnderWindowsRules,
                      public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(Utf8RoundTrip, EveryNameComesBackExactly) {
    const std::wstring& text = GetParam().text;
    const std::optional<std::string> narrow = NarrowToCodePage(text, kUtf8);
    ASSERT_TRUE(narrow.has_value());
    EXPECT_EQ(WidenFromCodePage(*narrow, kUtf8), text);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Utf8RoundTrip,
    ::testing::Values(RoundTripCase{"AccentAndGreek", L"C:\\Bilder\\caf\u00e9 \u03c9.png"},
                      RoundTripCase{"CjkAndSurrogatePair",
                                    L"D:\\\u5199\u771f\\\u4e2d\U0001F600.jpg"},
                      RoundTripCase{"LettersWithoutA1252Form",
                                    L"\u0101\u0142\u0151\u0163 plain ascii ~!@#$%^&()"},
                      RoundTripCase{"LongerThanMaxPath", std::wstring(300, L'\u00e9')}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) {
        return std::string(param.param.name);
    });

// The public conversions follow the system's ANSI code page: 1252 under this Wine normally,
// 65001 where the test runner sets a locale without an ANSI code page. That runner sets
// QUILLON_EXPECT_ACP so that a Wine that ignored the locale cannot pass by skipping.
class SystemCodePage : public UnderWindowsRules {
  protected:
    void SetUp() override {
        UnderWindowsRules::SetUp();
        if (HasFatalFailure())
            return;
        const char* expected = std::getenv("QUILLON_EXPECT_ACP");
        if (expected != nullptr) {
            ASSERT_EQ(::GetACP(), std::strtoul(expected, nullptr, 10));
        }
        if (::GetACP() != kWestern && ::GetACP() != kUtf8)
            GTEST_SKIP() << "code page " << ::GetACP() << " has no expectations here";
    }
    static bool IsUtf8() { return ::GetACP() == kUtf8; }
};

TEST_F(SystemCodePage, APathWithAnAccentKeepsItsName) {
    const std::wstring path = L"C:\\Program Files\\Quillon\\caf\u00e9.png";
    const std::string bytes = IsUtf8() ? "C:\\Program Files\\Quillon\\caf\xC3\xA9.png"
                                       : "C:\\Program Files\\Quillon\\caf\xE9.png";
    EXPECT_EQ(NarrowToAnsi(path), bytes);
    EXPECT_EQ(NarrowToAnsiMarked(path), bytes);
    EXPECT_EQ(WidenAnsi(bytes), path);
}

TEST_F(SystemCodePage, AGreekNameIsKeptOnlyUnderUtf8) {
    const std::wstring name = L"\u03c9.png";
    if (IsUtf8()) {
        EXPECT_EQ(NarrowToAnsi(name), "\xCF\x89.png");
        EXPECT_EQ(NarrowToAnsiMarked(name), "\xCF\x89.png");
    } else {
        EXPECT_EQ(NarrowToAnsi(name), std::nullopt);
        EXPECT_EQ(NarrowToAnsiMarked(name), "?.png");
    }
}

// The first path every run narrows: the folder the scripts are read from hangs on it.
TEST_F(SystemCodePage, TheProgramsOwnPathIsKnown) {
    const std::string& path = ProgramPath();
    const std::string name = "quillon_win_tests.exe";
    ASSERT_GT(path.size(), name.size());
    EXPECT_EQ(path.substr(path.size() - name.size()), name);
}

}  // namespace
}  // namespace quillon
