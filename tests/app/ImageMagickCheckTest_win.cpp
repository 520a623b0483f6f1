// The ImageMagick check of the real Quillon.exe, started from a fresh program folder under
// Wine, its web pages, and the start-up step that puts ImageMagick's folder first on PATH.
#include "app/ImageMagickCheck_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/MenuIds.h"
#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "dialogs/MyMsgBox_win.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::StartedProgram;
using testing::TempFolder;
using testing::TextOf;
using testing::WaitUntil;

constexpr wchar_t kTitle[] = L"Quillon v0.1 - Veltrane 2014";
constexpr wchar_t kBoxTitle[] = L"Quillon";
constexpr char kOwnViewKey[] = "SOFTWARE\\ImageMagick\\Current";
constexpr char k32BitViewKey[] = "SOFTWARE\\Wow6432Node\\ImageMagick\\Current";
constexpr char kDownloadPage[] =
    "https://legacy.imagemagick.org/script/binary-releases.php#windows";
// When ImageMagick is missing, either version will do: the current one's page.
constexpr char kCurrentDownloadPage[] = "https://imagemagick.org/script/download.php#windows";

// A local-machine registry value as the test found it, put back when the test ends (also
// when it fails); meanwhile the test may remove it or write a text in its place.
class SavedRegistryValue {
  public:
    SavedRegistryValue(std::string key, std::string name)
        : key_(std::move(key)), name_(std::move(name)) {
        constexpr DWORD kRaw = RRF_RT_ANY | RRF_NOEXPAND;
        DWORD size = 0;
        if (::RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), kRaw, &type_, nullptr,
                           &size) != ERROR_SUCCESS)
            return;
        data_.resize(size);
        existed_ = ::RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), kRaw, &type_,
                                  data_.data(), &size) == ERROR_SUCCESS;
        data_.resize(size);
    }
    ~SavedRegistryValue() {
        if (existed_)
            ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), type_, data_.data(),
                              static_cast<DWORD>(data_.size()));
        else
            Remove();
    }
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    void Remove() const { ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str()); }
    void SetText(const std::string& text) const {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), REG_SZ,
                                    text.c_str(), static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }

  private:
    std::string key_;
    std::string name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// While it lives, the shell "opens" web addresses by appending them as lines to a file of
// the test's own: no browser is needed, and what was asked for can be read back.
class WebAddressRecorder {
  public:
    WebAddressRecorder() {
        https_.SetText("C:\\windows\\system32\\cmd.exe /c echo %1 >> \"" +
                       NarrowToAnsiMarked(record_.wstring()) + "\"");
    }
    // Waits until count addresses have been opened; those addresses, oldest first.
    std::vector<std::string> WaitForOpened(std::size_t count) const {
        std::vector<std::string> lines;
        WaitUntil([&] {
            lines.clear();
            const std::string bytes = testing::ReadBytes(record_);
            for (std::size_t at = 0, end; (end = bytes.find(" \r\n", at)) != std::string::npos;
                 at = end + 3)
                lines.push_back(bytes.substr(at, end - at));
            return lines.size() >= count;
        });
        return lines;
    }

  private:
    TempFolder folder_;
    std::filesystem::path record_ = folder_.path() / "opened.txt";
    SavedRegistryValue https_{"Software\\Classes\\https\\shell\\open\\command", ""};
};

// How many pixels of the caption's ink, RGB(170, 100, 160), the screen shows in the top
// strip of a control.
int CaptionInkOnScreen(HWND control) {
    RECT area{};
    ::GetWindowRect(control, &area);
    const int width = area.right - area.left;
    const int height = 30;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(format.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    WindowDc screen(nullptr);
    UniqueCreatedDc copy(::CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    UniqueBitmap image(
        ::CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !image || bits == nullptr)
        return 0;
    ScopedSelectObject selected(copy.get(), image.get());
    ::BitBlt(copy.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    int ink = 0;
    for (int i = 0; i < width * height; ++i)
        ink += (pixels[i] & 0xFFFFFF) == 0xAA64A0 ? 1 : 0;
    return ink;
}

// Quillon.exe started from a fresh folder with the registry naming the given version (or
// none, in either view) while it starts.
class QuillonStarted : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove(testing::QuillonPositionFile()); }
    void TearDown() override {
        quillon_.reset();
        std::filesystem::remove(testing::QuillonPositionFile());
    }
    // The first window with this title that the program shows.
    HWND Start(const std::optional<std::string>& version, const wchar_t* title) {
        SavedRegistryValue own(kOwnViewKey, "Version");
        SavedRegistryValue view32(k32BitViewKey, "Version");
        view32.Remove();
        if (version)
            own.SetText(*version);
        else
            own.Remove();
        quillon_.emplace(testing::InstallQuillon(folder_.path().wstring(), false), L"");
        return quillon_->WaitForWindow(title);  // the version is read before any is shown
    }
    void Answer(HWND box, int button) {
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(kMsgBoxFirstButtonId + button - 1, 0), 0);
    }
    TempFolder folder_;
    std::optional<StartedProgram> quillon_;
};

TEST_F(QuillonStarted, AFoundVersionIsWrittenInTheCornerAndTheWindowStays) {
    HWND window = Start("6.8.9-Q16", kTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        return CaptionInkOnScreen(::GetDlgItem(window, kOutputPictureId)) > 20;
    })) << "no caption in the corner of the output area";
    EXPECT_EQ(::FindWindowW(L"#32770", kBoxTitle), nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(quillon_->WaitForExit(), 0);
}

TEST_F(QuillonStarted, WithoutImageMagickTheUserIsToldAndNoEndsTheProgramWithZero) {
    HWND box = Start(std::nullopt, kBoxTitle);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(TextOf(::GetDlgItem(box, kMsgBoxTextId)),
              L"ImageMagick (v6 or greater) has not been found on your system.\r\n"
              L"Do you want to go to ImageMagick download page now ?\r\n"
              L"We recommend you install the dynamic at 16 bits-per-pixel installer "
              L"(either Win32 or Win64 depending on your architecture).");
    EXPECT_EQ(TextOf(::GetDlgItem(box, kMsgBoxFirstButtonId)), L"&Yes");
    EXPECT_EQ(TextOf(::GetDlgItem(box, kMsgBoxFirstButtonId + 1)), L"&No");
    EXPECT_EQ(::GetDlgItem(box, kMsgBoxFirstButtonId + 2), nullptr);
    Answer(box, 2);
    EXPECT_EQ(quillon_->WaitForExit(), 0);
    // The window was never shown to the user: no position is kept for it.
    EXPECT_FALSE(std::filesystem::exists(testing::QuillonPositionFile()));
}

TEST_F(QuillonStarted, YesOpensTheDownloadPageAndStillEndsTheProgramWithZero) {
    WebAddressRecorder shell;
    HWND box = Start(std::nullopt, kBoxTitle);
    ASSERT_NE(box, nullptr) << "no message box";
    Answer(box, 1);
    EXPECT_EQ(quillon_->WaitForExit(), 0);
    EXPECT_EQ(shell.WaitForOpened(1), std::vector<std::string>{kCurrentDownloadPage});
}

TEST_F(QuillonStarted, TheImageMagickMenuItemsOpenTheirPages) {
    WebAddressRecorder shell;
    HWND window = Start("6.9.11-60", kTitle);
    ASSERT_NE(window, nullptr);
    const std::vector<std::string> pages = {kDownloadPage, "https://legacy.imagemagick.org/",
                                            "https://legacy.imagemagick.org/Usage/"};
    const int commands[] = {kCmdImDownload, kCmdImMainPage, kCmdImExamples};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(commands[i], 0), 0);
        ASSERT_EQ(shell.WaitForOpened(i + 1).size(), i + 1) << "command " << commands[i];
    }
    EXPECT_EQ(shell.WaitForOpened(pages.size()), pages);
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(quillon_->WaitForExit(), 0);
}

// ---- ImageMagick's folder on PATH -----------------------------------------------------

std::wstring ProcessPath() {
    std::vector<wchar_t> buffer(32768);
    return std::wstring(buffer.data(), ::GetEnvironmentVariableW(L"PATH", buffer.data(), 32768));
}

TEST(ImageMagickPath, TheRegisteredFolderComesFirstOnceAndProgramsStartedSeeIt) {
    const std::wstring original = ProcessPath();
    SavedRegistryValue binPath(kOwnViewKey, "BinPath");
    binPath.SetText("C:\\QuillonTest\\IM");
    ::SetEnvironmentVariableW(L"PATH", L"C:\\windows\\system32;C:\\windows");

    PutImageMagickFirstOnPath();
    PutImageMagickFirstOnPath();
    EXPECT_EQ(ProcessPath(), L"C:\\QuillonTest\\IM;C:\\windows\\system32;C:\\windows");
    const auto shown = testing::RunConsole(L"C:\\windows\\system32\\cmd.exe", L"/c echo %PATH%");
    EXPECT_EQ(shown.output, "C:\\QuillonTest\\IM;C:\\windows\\system32;C:\\windows\r\n");
    ::SetEnvironmentVariableW(L"PATH", original.c_str());
}

}  // namespace
}  // namespace quillon
