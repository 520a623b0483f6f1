// New scripts made through the popup menu: the real Quillon.exe, its save dialog and its
// questions, driven from this process, with the editor replaced by a copy the test controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/MenuIds.h"
#include "base/AnsiText_win.h"
#include "base/Handles_win.h"
#include "pictures/InputSlots.h"
#include "support/RunningQuillon_win.h"
#include "support/TempFolder.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::Ansi;
using testing::RunningQuillon;
using testing::TextOf;
using testing::WaitUntil;

constexpr wchar_t kSaveTitle[] = L"Save new script under...";
constexpr wchar_t kEditorClass[] = L"QuillonTestEditor";
constexpr int kYes = 1;
constexpr int kNo = 2;
constexpr int kCancel = 3;

std::string Script(int args, const std::string& name) {
    return "<script args=\"" + std::to_string(args) + "\" name=\"" + name +
           "\">\r\nconvert rose: rose.png\r\n</script>\r\n";
}

void SetDefaultValue(const std::wstring& key, const std::wstring& value) {
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The editor of ".xml" files for one test: the file the program opens is first copied to
// "seen.xml" beside the test's folders, then replaced by "edited.xml", and the "editor" ends
// (when told to hold, only once "go.txt" appears there).
// Wine reads file types from the machine's classes, not the user's; whatever ".xml" meant
// before is put back when the test ends, however it ends.
class EditorStandIn {
  public:
    EditorStandIn(const fs::path& root, const std::string& edited, bool hold = false) {
        wchar_t before[256] = {};
        DWORD size = sizeof(before);
        hadType_ = ::RegGetValueW(HKEY_CLASSES_ROOT, L".xml", nullptr, RRF_RT_REG_SZ, nullptr,
                                  before, &size) == ERROR_SUCCESS;
        typeBefore_ = before;
        std::ofstream(root / "edited.xml", std::ios::binary) << edited;
        const std::wstring seen = (root / "seen.xml").wstring();
        const std::wstring source = (root / "edited.xml").wstring();
        const fs::path holdBatch = root / "hold.bat";
        std::ofstream(holdBatch, std::ios::binary)
            << ":w\r\nif not exist \"" << NarrowToAnsiMarked((root / "go.txt").wstring())
            << "\" goto w\r\n";
        SetDefaultValue(std::wstring(kEditorClass) + L"\\shell\\edit\\command",
                        L"cmd.exe /c copy /y \"%1\" \"" + seen + L"\" & copy /y \"" + source +
                            L"\" \"%1\"" + (hold ? L" & \"" + holdBatch.wstring() + L"\"" : L""));
        SetDefaultValue(L".xml", kEditorClass);
    }
    ~EditorStandIn() {
        if (hadType_)
            SetDefaultValue(L".xml", typeBefore_);
        else
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".xml");
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kEditorClass);
    }
    EditorStandIn(const EditorStandIn&) = delete;
    EditorStandIn& operator=(const EditorStandIn&) = delete;

  private:
    bool hadType_ = false;
    std::wstring typeBefore_;
};

// A program folder and another folder side by side, with the editor's files beside them.
struct Folders {
    testing::TempFolder root;
    fs::path program = root.path() / "program";
    fs::path elsewhere = root.path() / "elsewhere";
    Folders() {
        fs::create_directory(program);
        fs::create_directory(elsewhere);
    }
};

// Gives the new-script command and waits for its save dialog.
HWND OpenSaveDialog(RunningQuillon& quillon) {
    quillon.Command(kCmdNewScript);
    return quillon.WaitForPopUp(kSaveTitle);
}

// Types a name into the save dialog and saves.
void SaveAs(HWND dialog, const fs::path& path) {
    ::SendMessageW(testing::FileNameBox(dialog), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(path.wstring().c_str()));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Gives the new-script command and saves under path in its dialog; false when none opened.
bool SaveNewScriptAs(RunningQuillon& quillon, const fs::path& path) {
    HWND dialog = OpenSaveDialog(quillon);
    if (dialog != nullptr)
        SaveAs(dialog, path);
    return dialog != nullptr;
}

std::vector<std::wstring> Items(const RunningQuillon& quillon) {
    return testing::ComboItems(quillon.Control(kScriptListId));
}

LRESULT Selected(const RunningQuillon& quillon) {
    return ::SendMessageW(quillon.Control(kScriptListId), CB_GETCURSEL, 0, 0);
}

bool Produced(const RunningQuillon& quillon) {
    return WaitUntil([&] { return quillon.Text(kOutputStatusId) == "Script produced correctly"; });
}

TEST(NewScript, InTheProgramFolderStartsFromTheTemplateAndIsListedAsEdited) {
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}});
    ASSERT_NE(quillon.window(), nullptr);
    EditorStandIn editor(folders.root.path(), Script(2, "Edited"));
    HWND dialog = OpenSaveDialog(quillon);
    ASSERT_NE(dialog, nullptr);
    RECT main{}, asked{};
    ::GetWindowRect(quillon.window(), &main);
    EXPECT_TRUE(WaitUntil([&] {
        ::GetWindowRect(dialog, &asked);
        return asked.left == main.left - 30 && asked.top == main.top - 50;
    })) << asked.left
        << "," << asked.top << " for a window at " << main.left << "," << main.top;
    EXPECT_EQ(TextOf(testing::FileNameBox(dialog)), L"NewScript");
    SaveAs(dialog, folders.program / "Mine");  // the dialog adds ".xml"

    ASSERT_TRUE(Produced(quillon)) << quillon.Text(kOutputStatusId);
    EXPECT_EQ(testing::ReadBytes(folders.root.path() / "seen.xml"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
              "<script args=\"0\" name=\"Short description of script\" erase_temp=\"false\">\r\n"
              "#Remove this line and replace it with the IMv6 script\r\n"
              "</script>\r\n");
    EXPECT_EQ(testing::ReadBytes(folders.program / "Mine.xml"), Script(2, "Edited"));
    EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{L"A", L"Edited"}));
    EXPECT_EQ(Selected(quillon), 1);
    EXPECT_NE(quillon.Control(kSlotIdBase + 2), nullptr) << "laid out for two pictures";
    EXPECT_EQ(quillon.Close(), 0);
}

// ---- A file chosen outside the program folder -------------------------------------------

class ElsewhereAnswered : public ::testing::TestWithParam<int> {};

TEST_P(ElsewhereAnswered, MovesTheScriptAsksAgainOrEnds) {
    const int answer = GetParam();
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}});
    ASSERT_NE(quillon.window(), nullptr);
    EditorStandIn editor(folders.root.path(), Script(0, "Edited"));
    ASSERT_TRUE(SaveNewScriptAs(quillon, folders.elsewhere / "Mine.xml"));
    EXPECT_EQ(quillon.AnswerMessage(answer),
              "Only xml files saved in the program folder can be listed.\r\n\r\nDo you want we "
              "move your script to " +
                  Ansi(folders.program / "Mine.xml") + " ?");

    if (answer == kYes) {
        ASSERT_TRUE(Produced(quillon)) << quillon.Text(kOutputStatusId);
        EXPECT_EQ(testing::ReadBytes(folders.program / "Mine.xml"), Script(0, "Edited"));
        EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{L"A", L"Edited"}));
    } else {
        if (answer == kNo) {
            HWND again = quillon.WaitForPopUp(kSaveTitle);
            ASSERT_NE(again, nullptr) << "No shows the save dialog again";
            EXPECT_EQ(TextOf(testing::FileNameBox(again)), L"NewScript");
            ::PostMessageW(again, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(quillon.window()) != FALSE; }));
        EXPECT_FALSE(fs::exists(folders.program / "Mine.xml"));
        EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{L"A"}));
        EXPECT_EQ(Selected(quillon), CB_ERR);
    }
    EXPECT_FALSE(fs::exists(folders.elsewhere / "Mine.xml"));
    EXPECT_EQ(quillon.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ElsewhereAnswered, ::testing::Values(kYes, kNo, kCancel), [](const auto& test) {
        return std::string(test.param == kYes ? "Yes" : test.param == kNo ? "No" : "Cancel");
    });

// ---- Endings other than a good script ---------------------------------------------------

TEST(NewScript, EditedIntoAnInvalidScriptIsTakenOffTheListAndItsFileKept) {
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}});
    ASSERT_NE(quillon.window(), nullptr);
    EditorStandIn editor(folders.root.path(), "no tag line at all\r\n");
    ASSERT_TRUE(SaveNewScriptAs(quillon, folders.program / "Mine.xml"));
    EXPECT_EQ(quillon.AnswerMessage(), "Script is invalid...\r\nCreation aborted");
    EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{L"A"}));
    EXPECT_EQ(Selected(quillon), CB_ERR);
    EXPECT_FALSE(quillon.Enabled(kEditScriptButtonId));
    EXPECT_EQ(testing::ReadBytes(folders.program / "Mine.xml"), "no tag line at all\r\n");
    EXPECT_EQ(quillon.Close(), 0);
}

TEST(NewScript, AFileThatCannotBeWrittenIsReportedWithItsPathAndTheListStaysAsItWas) {
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}});
    ASSERT_NE(quillon.window(), nullptr);
    EditorStandIn editor(folders.root.path(), Script(0, "Edited"));
    // Held open without sharing, as a file of a protected folder would refuse writing.
    UniqueHandle held(::CreateFileW((folders.program / "a.xml").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ASSERT_TRUE(SaveNewScriptAs(quillon, folders.program / "a.xml"));
    EXPECT_EQ(quillon.AnswerMessage(kYes), "This file already exists.\r\nReplace it?");
    EXPECT_EQ(quillon.AnswerMessage(), "The new script could not be written:\r\n" +
                                           Ansi(folders.program / "a.xml") +
                                           "\r\nCreation aborted");
    held.Reset();
    EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{L"A"}));
    EXPECT_EQ(Selected(quillon), CB_ERR);
    EXPECT_EQ(testing::ReadBytes(folders.program / "a.xml"), Script(1, "A"));
    EXPECT_FALSE(fs::exists(folders.root.path() / "seen.xml")) << "no editor was started";
    EXPECT_EQ(quillon.Close(), 0);
}

// ---- Where the new entry goes ---------------------------------------------------------

TEST(NewScript, AfterARemovalFillsTheBlankPositionSoItsItemChoosesIt) {
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}, {"b.xml", Script(1, "B")}});
    ASSERT_NE(quillon.window(), nullptr);
    const std::vector<std::wstring> scanned = Items(quillon);
    ASSERT_EQ(scanned.size(), 2u);
    // The first item's script breaks in the (absent) editor and leaves the list.
    quillon.ChooseScript(1);
    ASSERT_TRUE(WaitUntil([&] { return quillon.Enabled(kEditScriptButtonId); }));
    const char* first = scanned[0] == L"A" ? "a.xml" : "b.xml";
    std::ofstream(folders.program / first, std::ios::binary) << "broken\r\n";
    quillon.Click(kEditScriptButtonId);
    quillon.AnswerMessage();
    ASSERT_EQ(Items(quillon), (std::vector<std::wstring>{scanned[1]}));

    EditorStandIn editor(folders.root.path(), Script(2, "Edited"));
    ASSERT_TRUE(SaveNewScriptAs(quillon, folders.program / "Mine.xml"));
    ASSERT_TRUE(Produced(quillon)) << quillon.Text(kOutputStatusId);
    EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{scanned[1], L"Edited"}));
    // Choosing the items again reads the catalogue at their positions.
    quillon.ChooseScript(1);
    EXPECT_EQ(quillon.Control(kSlotIdBase + 2), nullptr);
    quillon.ChooseScript(2);
    EXPECT_NE(quillon.Control(kSlotIdBase + 2), nullptr) << "item 2 chose the new script";
    EXPECT_EQ(quillon.Close(), 0);
}

TEST(EditScript, ChoosingAnotherScriptWhileTheEditorIsOpenValidatesTheEditedOne) {
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}, {"b.xml", Script(0, "B")}});
    ASSERT_NE(quillon.window(), nullptr);
    EditorStandIn editor(folders.root.path(), Script(2, "Edited"), true);
    std::vector<std::wstring> items = Items(quillon);
    ASSERT_EQ(items.size(), 2u);
    quillon.ChooseScript(1);
    ASSERT_TRUE(WaitUntil([&] { return quillon.Enabled(kEditScriptButtonId); }));
    quillon.Click(kEditScriptButtonId);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(folders.root.path() / "seen.xml"); }));
    quillon.ChooseScript(2);
    std::ofstream(folders.root.path() / "go.txt") << "go";
    EXPECT_TRUE(
        WaitUntil([&] { return quillon.Text(kOutputStatusId) == "Script correctly updated"; }));
    items[0] = L"Edited";
    EXPECT_EQ(Items(quillon), items);
    EXPECT_EQ(Selected(quillon), 1) << "the user's choice stays";
    EXPECT_EQ(quillon.Close(), 0);
}

TEST(NewScript, ReplacingAListedFileLeavesOneItemForIt) {
    Folders folders;
    RunningQuillon quillon(folders.program, {{"a.xml", Script(1, "A")}});
    ASSERT_NE(quillon.window(), nullptr);
    EditorStandIn editor(folders.root.path(), Script(0, "Edited"));
    ASSERT_TRUE(SaveNewScriptAs(quillon, folders.program / "A.XML"));
    EXPECT_EQ(quillon.AnswerMessage(kYes), "This file already exists.\r\nReplace it?");
    ASSERT_TRUE(Produced(quillon)) << quillon.Text(kOutputStatusId);
    EXPECT_EQ(Items(quillon), (std::vector<std::wstring>{L"Edited"}));
    EXPECT_EQ(Selected(quillon), 0);
    EXPECT_EQ(quillon.Close(), 0);
}

}  // namespace
}  // namespace quillon
