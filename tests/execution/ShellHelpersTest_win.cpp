// Starting files through the shell and waiting for them while the window keeps working.
#include "execution/ShellHelpers_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "base/Handles_win.h"
#include "dialogs/DialogTemplate_win.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace quillon {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

constexpr UINT kCountedMessage = WM_APP + 1;

// A batch file that writes its parameters into "args.txt" beside itself.
std::string WriteArgumentsBatch(const TempFolder& folder) {
    return folder.Write("args.bat", "@echo %*> \"%~dp0args.txt\"\r\n").string();
}

// A command interpreter that runs until End() is called: it reads a line from a pipe that
// nobody writes to, and ends when the pipe is closed.
class WaitingProgram {
  public:
    WaitingProgram() {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE readRaw = nullptr, writeRaw = nullptr;
        if (!::CreatePipe(&readRaw, &writeRaw, &inherit, 0))
            return;
        UniqueHandle readEnd(readRaw);
        input_.Reset(writeRaw);
        ::SetHandleInformation(input_.get(), HANDLE_FLAG_INHERIT, 0);
        wchar_t commandLine[] = L"cmd.exe /c set /p line=";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = readEnd.get();
        startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION info{};
        if (::CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &info)) {
            ::CloseHandle(info.hThread);
            process_.Reset(info.hProcess);
        }
    }
    ~WaitingProgram() {
        End();
        if (process_ && ::WaitForSingleObject(process_.get(), 5000) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.get(), 1);
    }
    WaitingProgram(const WaitingProgram&) = delete;
    WaitingProgram& operator=(const WaitingProgram&) = delete;

    // A handle of the program of the caller's own, for WaitForProcess to close.
    HANDLE Duplicate() const {
        HANDLE copy = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), process_.get(), ::GetCurrentProcess(), &copy, 0,
                          FALSE, DUPLICATE_SAME_ACCESS);
        return copy;
    }
    bool Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    void End() { input_.Reset(); }

  private:
    UniqueHandle process_;
    UniqueHandle input_;
};

// A plain window that counts the counted messages it is sent and can run an action on each.
class CountingWindow {
  public:
    CountingWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillonCountingWindow";
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, windowClass.hInstance, this);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CountingWindow() {
        ::DestroyWindow(window_);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    HWND get() const { return window_; }
    std::atomic<int> count{0};
    WaitingProgram* endAtThird = nullptr;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CountingWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == kCountedMessage && self != nullptr) {
            ++self->count;
            if (self->count == 3 && self->endAtThird != nullptr)
                self->endAtThird->End();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

TEST(ShellRun, EditWithACapitalIsPassedAsParametersToTheDefaultAction) {
    TempFolder folder;
    UniqueHandle process = ShellRun(WriteArgumentsBatch(folder), "Edit", SW_HIDE);
    ASSERT_TRUE(process);
    WaitForProcess(process);
    EXPECT_EQ(ReadBytes(folder.path() / "args.txt"), "Edit\r\n");
}

TEST(ShellRun, ParametersReachTheStartedFileUnchanged) {
    TempFolder folder;
    UniqueHandle process = ShellRun(WriteArgumentsBatch(folder), "one \"two three\"", SW_HIDE);
    ASSERT_TRUE(process);
    WaitForProcess(process);
    EXPECT_EQ(ReadBytes(folder.path() / "args.txt"), "one \"two three\"\r\n");
}

// A file type of the test's own whose "open" and "edit" actions write which one ran, and
// with what, into "verb.txt" beside the file.
class RecordingFileType : public ::testing::Test {
  protected:
    void SetUp() override {
        SetCommand(L"open", L"opened");
        SetCommand(L"edit", L"edited");
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".quillonverb");
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"QuillonVerbFile");
    }
    static void SetText(const wchar_t* key, const std::wstring& text) {
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static void SetCommand(const std::wstring& verb, const std::wstring& word) {
        SetText(L".quillonverb", L"QuillonVerbFile");
        const std::wstring key = L"QuillonVerbFile\\shell\\" + verb + L"\\command";
        SetText(key.c_str(), L"cmd.exe /c echo " + word + L" %* > \"%1.txt\"");
    }
    std::string Run(const std::string& verbOrParameters) {
        const std::string file = folder.Write("verb", "").string() + ".quillonverb";
        std::filesystem::rename(folder.path() / "verb", file);
        UniqueHandle process = ShellRun(file, verbOrParameters, SW_HIDE);
        WaitForProcess(process);
        return ReadBytes(file + ".txt");
    }
    TempFolder folder;
};

TEST_F(RecordingFileType, ExactlyEditIsTheVerb) {
    EXPECT_EQ(Run("edit"), "edited  \r\n");
}

TEST_F(RecordingFileType, OtherTextsAreParametersOfTheDefaultAction) {
    EXPECT_EQ(Run("Edit"), "opened Edit \r\n");
    EXPECT_EQ(Run("EDIT"), "opened EDIT \r\n");
    EXPECT_EQ(Run(""), "opened  \r\n");
}

TEST(ShellRun, AMissingFileStartsNothingAndGivesNull) {
    TempFolder folder;
    EXPECT_FALSE(ShellRun((folder.path() / "none.bat").string(), "", SW_HIDE));
    EXPECT_FALSE(ShellRun((folder.path() / "none.txt").string(), "edit", SW_HIDE));
}

TEST(WaitForProcess, ANullHandleReturnsAfterOnePassHandlingOneMessage) {
    CountingWindow window;
    for (int i = 0; i < 3; ++i)
        ::PostMessageW(window.get(), kCountedMessage, 0, 0);
    HANDLE process = nullptr;
    WaitForProcess(process);
    EXPECT_EQ(window.count.load(), 1);
    EXPECT_EQ(process, nullptr);
}

TEST(WaitForProcess, AnEndedProgramReturnsAtOnceAndTheVariableIsCleared) {
    WaitingProgram program;
    program.End();
    HANDLE process = program.Duplicate();
    ASSERT_NE(process, nullptr);
    WaitForProcess(process);
    EXPECT_EQ(process, nullptr);
    EXPECT_FALSE(program.Running());
}

TEST(WaitForProcess, MessagesAreHandledWhileTheProgramRunsAndTheWaitEndsWithIt) {
    CountingWindow window;
    WaitingProgram program;
    window.endAtThird = &program;
    HANDLE process = program.Duplicate();
    ASSERT_NE(process, nullptr);
    // Posted from another thread, each once the one before it was handled, so that they
    // arrive while the wait is under way; the third ends the program. Should the wait stop
    // handling them, the program is ended after a long while, so that the test fails.
    std::thread poster([&window, &program] {
        for (int i = 0; i < 3; ++i) {
            if (!testing::WaitUntil([&] { return window.count == i; })) {
                program.End();
                return;
            }
            ::PostMessageW(window.get(), kCountedMessage, 0, 0);
        }
    });
    WaitForProcess(process);
    poster.join();
    EXPECT_EQ(window.count.load(), 3);
    EXPECT_EQ(process, nullptr);
    EXPECT_FALSE(program.Running());
}

// Notes when this thread takes a quit request from its queue.
std::atomic<bool> quitTaken{false};
LRESULT CALLBACK NoteQuitTaken(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && removal == PM_REMOVE &&
        reinterpret_cast<const MSG*>(message)->message == WM_QUIT) {
        quitTaken = true;
    }
    return ::CallNextHookEx(nullptr, code, removal, message);
}

TEST(WaitForProcess, AQuitRequestTakenDuringTheWaitIsKeptForTheCallersLoop) {
    WaitingProgram program;
    HANDLE process = program.Duplicate();
    quitTaken = false;
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, NoteQuitTaken, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    ::PostQuitMessage(7);
    // The program ends only once the wait has taken the request, so the wait goes on after
    // it (or after a long while, should the request never be taken).
    std::thread ender([&program] {
        testing::WaitUntil([] { return quitTaken.load(); });
        program.End();
    });
    WaitForProcess(process);
    ender.join();
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(quitTaken);
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
}

INT_PTR CALLBACK TwoButtonDialog(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return FALSE;
    for (int id = 1; id <= 2; ++id) {
        ::CreateWindowExW(0, L"BUTTON", L"B", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10 + 30 * id,
                          60, 24, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + id)),
                          nullptr, nullptr);
    }
    SetClientSize(dialog, 120, 110);
    return TRUE;
}

TEST(WaitForProcess, TheTabKeyMovesTheFocusInTheActiveDialog) {
    DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, L"Wait test", L"MS Sans Serif", 8);
    HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), layout.get(), nullptr,
                                               TwoButtonDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ::SetForegroundWindow(dialog);
    ::SetActiveWindow(dialog);
    HWND first = ::GetDlgItem(dialog, 101);
    HWND second = ::GetDlgItem(dialog, 102);
    ::SetFocus(first);
    ASSERT_EQ(::GetActiveWindow(), dialog);
    ASSERT_EQ(::GetFocus(), first);

    ::PostMessageW(first, WM_KEYDOWN, VK_TAB, 0);
    HANDLE none = nullptr;
    WaitForProcess(none);
    EXPECT_EQ(::GetFocus(), second);
    ::DestroyWindow(dialog);
}

TEST(ReleaseProcess, ClosesTheHandleOnceAndClearsTheVariable) {
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE process = event;
    ReleaseProcess(process);
    EXPECT_EQ(process, nullptr);
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(event, &flags));
    ReleaseProcess(process);
    EXPECT_EQ(process, nullptr);
}

}  // namespace
}  // namespace quillon
