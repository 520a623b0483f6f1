#include "support/WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "base/AnsiText_win.h"

namespace quillon::testing {

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide = WidenAnsi(path);
    if (!wide.empty() && wide.front() == L'/')
        wide = L"Z:" + wide;
    for (wchar_t& c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    return wide;
}

std::wstring TextOf(HWND control) {
    wchar_t text[4096] = {};
    ::SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Ansi(const std::filesystem::path& path) {
    return NarrowToAnsiMarked(path.wstring());
}

std::string Describe(const RECT& r) {
    return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + " at (" +
           std::to_string(r.left) + "," + std::to_string(r.top) + ")";
}

ModalDriver::ModalDriver(std::function<HWND()> find, std::function<void(HWND)> act,
                         std::function<void(HWND)> rescue)
    : thread_([this, find = std::move(find), act = std::move(act), rescue = std::move(rescue)] {
          HWND window = nullptr;
          if (!WaitUntil([&] { return (window = find()) != nullptr; }))
              return;
          found_ = true;
          act(window);
          if (!WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); })) {
              rescued_ = true;
              rescue(window);
          }
      }) {}

std::string RequiredEnvironment(const char* name) {
    const char* value = std::getenv(name);
    EXPECT_NE(value, nullptr) << name << " is not set: run the tests through ctest";
    return value == nullptr ? std::string() : std::string(value);
}

std::wstring InstallQuillon(const std::wstring& folder, bool withSamples) {
    namespace fs = std::filesystem;
    const fs::path target = fs::path(folder) / L"Quillon.exe";
    const fs::path built = WindowsPath(RequiredEnvironment("QUILLON_EXE"));
    fs::copy_file(built, target, fs::copy_options::overwrite_existing);
    // The legacy tool names for ImageMagick 7, as the installer puts them beside the program.
    std::error_code absent;
    fs::copy(built.parent_path() / L"im7", fs::path(folder) / L"im7",
             fs::copy_options::overwrite_existing | fs::copy_options::recursive, absent);
    if (withSamples) {
        for (const auto& entry :
             fs::directory_iterator(WindowsPath(RequiredEnvironment("QUILLON_SAMPLES")))) {
            fs::copy_file(entry.path(), fs::path(folder) / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
    return target.wstring();
}

StartedProgram::StartedProgram(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Under a heavily loaded Wine a start can fail for want of a moment; a few tries, and the
    // last error is said, so that a failed start is never mistaken for a missing window.
    constexpr int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info)) {
            ::CloseHandle(info.hThread);
            process_.Reset(info.hProcess);
            processId_ = info.dwProcessId;
            return;
        }
        std::fprintf(stderr, "starting %ls failed (error %lu), try %d of %d\n", exe.c_str(),
                     ::GetLastError(), attempt, kTries);
        ::Sleep(250 * attempt);
    }
}

StartedProgram::~StartedProgram() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

namespace {
struct WindowSearch {
    DWORD processId;
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window))
        return TRUE;
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    if (*search->title != text)
        return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND StartedProgram::WaitForWindow(const std::wstring& title, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        WindowSearch search{processId_, &title, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        if (::WaitForSingleObject(process_.get(), 50) != WAIT_TIMEOUT) {
            DWORD code = 0;
            ::GetExitCodeProcess(process_.get(), &code);
            std::fprintf(stderr, "the program ended (code %lu) before showing \"%ls\"\n", code,
                         title.c_str());
            return nullptr;
        }
    }
    return nullptr;
}

long StartedProgram::WaitForExit(DWORD timeoutMs) {
    if (::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return static_cast<long>(code);
}

ConsoleResult RunConsole(const std::wstring& exe, const std::wstring& arguments) {
    ConsoleResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!::CreatePipe(&readRaw, &writeRaw, &inherit, 0))
        return result;
    UniqueHandle readEnd(readRaw), writeEnd(writeRaw);
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    if (!StartInheriting(exe, commandLine, startup, info))
        return result;
    ::CloseHandle(info.hThread);
    UniqueHandle process(info.hProcess);
    writeEnd.Reset();
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        result.output.append(buffer, got);
    }
    ::WaitForSingleObject(process.get(), kPatienceMs);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    result.exitCode = static_cast<long>(code);
    return result;
}

bool StartInheriting(const std::wstring& exe, const std::wstring& commandLine,
                     STARTUPINFOW& startup, PROCESS_INFORMATION& info) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0)
            ::Sleep(200);
        std::wstring line = commandLine;  // CreateProcessW may write into it
        if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &startup, &info))
            return true;
    }
    return false;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
        items.push_back(text);
    }
    return items;
}

void ForEachImport(HMODULE module, const std::function<bool(const ImportEntry&)>& visit) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        // The names stay in the original table; the slots are what the loader fills.
        const DWORD namesAt =
            dll->OriginalFirstThunk != 0 ? dll->OriginalFirstThunk : dll->FirstThunk;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            ImportEntry entry;
            entry.dll = reinterpret_cast<const char*>(base + dll->Name);
            entry.slot = slots;
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                entry.ordinal = static_cast<WORD>(IMAGE_ORDINAL(names->u1.Ordinal));
            } else {
                entry.name = reinterpret_cast<const char*>(
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)
                        ->Name);
            }
            if (!visit(entry))
                return;
        }
    }
}

bool WriteImportSlot(IMAGE_THUNK_DATA* slot, const void* address) {
    DWORD protection = 0;
    if (!::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection))
        return false;
    slot->u1.Function = reinterpret_cast<std::uintptr_t>(address);
    ::VirtualProtect(slot, sizeof(*slot), protection, &protection);
    return true;
}

namespace {
BOOL CALLBACK CollectSecondary(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY) == 0) {
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<PixelRect>*>(context)->push_back(
            {r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return TRUE;
}
}  // namespace

void SecondWorkAreaOrSkip(PixelRect* area) {
    std::vector<PixelRect> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, CollectSecondary, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        ASSERT_EQ(std::getenv("QUILLON_EXPECT_TWO_MONITORS"), nullptr)
            << "the display has two monitors, the system reports one";
        GTEST_SKIP() << "the system reports one monitor";
    }
    *area = areas.front();
}

TextMeasure MeasureText(HDC like, const TextLook& look, const std::wstring& text) {
    TextMeasure measure;
    UniqueCreatedDc dc(::CreateCompatibleDC(like));
    const int height = -::MulDiv(look.points, ::GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
    UniqueFont font(::CreateFontW(height, 0, 0, 0, FW_NORMAL, look.italic ? TRUE : FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, look.face));
    ScopedSelectObject selectedFont(dc.get(), font.get());
    const int length = static_cast<int>(text.size());
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), length, &measure.extent);

    // Drawn on an image like the caller's, with a margin as wide as the text is high all
    // round, for letters that lean out of their extent.
    const int margin = measure.extent.cy;
    const RECT whole{0, 0, measure.extent.cx + 2 * margin, measure.extent.cy + 2 * margin};
    UniqueBitmap image(::CreateCompatibleBitmap(like, whole.right, whole.bottom));
    ScopedSelectObject selectedImage(dc.get(), image.get());
    UniqueBrush background(::CreateSolidBrush(look.background));
    ::FillRect(dc.get(), &whole, background.get());
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), look.ink);
    ::TextOutW(dc.get(), margin, margin, text.c_str(), length);
    RECT ink{whole.right, whole.bottom, 0, 0};
    for (int y = 0; y < whole.bottom; ++y) {
        for (int x = 0; x < whole.right; ++x) {
            if (::GetPixel(dc.get(), x, y) != look.ink)
                continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x + 1);
            ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    }
    if (ink.right > ink.left)
        measure.ink = {ink.left - margin, ink.top - margin, ink.right - margin,
                       ink.bottom - margin};
    return measure;
}

}  // namespace quillon::testing
