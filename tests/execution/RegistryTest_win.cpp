// Reading registry values, and deleting keys as the DELREGKEY procedure that Quillon.exe
// exports does.
#include "execution/Registry_win.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "base/Handles_win.h"
#include "support/Printing.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

using testing::operator<<;

constexpr char kTestRoot[] = "Software\\QuillonTest";

// A key under HKEY_CURRENT_USER\Software\QuillonTest, removed with everything under it when
// the test ends.
class TestKeys : public ::testing::Test {
  protected:
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    static std::string Key(const std::string& name) { return std::string(kTestRoot) + "\\" + name; }
    static void Create(const std::string& key) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(created);
    }
    static void SetText(const std::string& key, const char* name, const std::string& text) {
        Create(key);
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                                    static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }
    static bool Exists(const std::string& key) {
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(opened);
        return true;
    }
};

using GetRegistryValueTest = TestKeys;

TEST_F(GetRegistryValueTest, ReadsANamedTextValue) {
    SetText(Key("Current"), "Version", "6.8.9-Q16");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Version"), "6.8.9-Q16");
}

TEST_F(GetRegistryValueTest, AStarNamesTheDefaultValue) {
    SetText(Key("Current"), nullptr, "the default");
    SetText(Key("Current"), "*", "a value named star");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "*"), "the default");
}

TEST_F(GetRegistryValueTest, AMissingKeyOrValueOrANumberGivesTheEmptyText) {
    SetText(Key("Current"), "Version", "7.0.1-0");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Missing"), "Version"), "");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Other"), "");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "*"), "");
    const DWORD number = 0x39363736;  // "6769" were its bytes read as text
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, Key("Current").c_str(), "Number", REG_DWORD,
                                &number, sizeof(number)),
              ERROR_SUCCESS);
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Number"), "");
}

TEST_F(GetRegistryValueTest, AKeyThatRefusesReadingGivesTheEmptyText) {
    SetText(Key("Refused"), "Version", "6.8.9-Q16");
    HKEY opened = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, Key("Refused").c_str(), 0, WRITE_DAC, &opened),
              ERROR_SUCCESS);
    UniqueRegKey key(opened);
    ACL nobody{};  // a list without entries grants nothing to anyone
    SECURITY_DESCRIPTOR refusing{};
    ASSERT_TRUE(::InitializeAcl(&nobody, sizeof(nobody), ACL_REVISION) &&
                ::InitializeSecurityDescriptor(&refusing, SECURITY_DESCRIPTOR_REVISION) &&
                ::SetSecurityDescriptorDacl(&refusing, TRUE, &nobody, FALSE));
    ASSERT_EQ(::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &refusing), ERROR_SUCCESS);
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Refused"), "Version"), "");
    // Without a list everyone may again, so that the key can be removed.
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&refusing, TRUE, nullptr, FALSE));
    ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &refusing);
}

TEST_F(GetRegistryValueTest, AValueLongerThanTheBufferGivesTheEmptyText) {
    SetText(Key("Current"), "Fits", std::string(255, 'x'));
    SetText(Key("Current"), "Long", std::string(300, 'x'));
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Fits"), std::string(255, 'x'));
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Long"), "");
}

TEST_F(GetRegistryValueTest, ATextStoredWithoutItsEndingZeroIsRead) {
    Create(Key("Current"));
    const std::string bytes(255, 'v');
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, Key("Current").c_str(), "Raw", REG_SZ,
                                bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Raw"), bytes);
}

// ---- The 32-bit view ------------------------------------------------------------------

// Local-machine keys as a 64-bit program names them directly: its own view, and the folder
// where Windows keeps what 32-bit programs see as the same path.
constexpr char kOwnViewKey[] = "SOFTWARE\\QuillonTest\\Current";
constexpr char k32BitViewKey[] = "SOFTWARE\\Wow6432Node\\QuillonTest\\Current";

struct ViewCase {
    const char* name;
    bool ownKey;          // the own view has the key
    const char* ownText;  // its value; null for none
    const char* text32;   // the value in the 32-bit view; null for none
    const char* expected;
};

class RegistryViews : public ::testing::TestWithParam<ViewCase> {
  protected:
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QuillonTest");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\QuillonTest");
    }
    static void Write(const char* key, const char* text) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &created, nullptr),
                  ERROR_SUCCESS);
        UniqueRegKey owner(created);
        if (text != nullptr) {
            ASSERT_EQ(
                ::RegSetValueExA(created, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(std::strlen(text) + 1)),
                ERROR_SUCCESS);
        }
    }
};

TEST_P(RegistryViews, AValueTheOwnViewLacksIsReadFromThe32BitView) {
    if (GetParam().ownKey)
        Write(kOwnViewKey, GetParam().ownText);
    if (GetParam().text32 != nullptr)
        Write(k32BitViewKey, GetParam().text32);
    EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, kOwnViewKey, "Version"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Views, RegistryViews,
    ::testing::Values(ViewCase{"Only32BitView", false, nullptr, "6.9.2-Q16", "6.9.2-Q16"},
                      ViewCase{"OwnKeyWithoutTheValue", true, nullptr, "6.9.2-Q16", "6.9.2-Q16"},
                      ViewCase{"OwnViewWins", true, "7.1.0-4", "6.9.2-Q16", "7.1.0-4"},
                      ViewCase{"OnlyOwnView", true, "7.1.0-4", nullptr, "7.1.0-4"},
                      ViewCase{"EmptyTextInOwnViewIsFound", true, "", "6.9.2-Q16", ""},
                      ViewCase{"InNeither", true, nullptr, nullptr, ""}),
    testing::CaseName());

// The names the export directory of a PE file lists, read from the file itself.
std::set<std::string> ExportedNames(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    const std::vector<unsigned char> image((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    std::set<std::string> names;
    auto read32 = [&image](std::size_t at) -> std::uint32_t {
        if (at + 4 > image.size())
            return 0;
        return image[at] | image[at + 1] << 8 | image[at + 2] << 16 |
               static_cast<std::uint32_t>(image[at + 3]) << 24;
    };
    auto read16 = [&image](std::size_t at) -> std::uint32_t {
        return at + 2 > image.size() ? 0 : image[at] | image[at + 1] << 8;
    };
    const std::size_t headers = read32(0x3C);
    if (read32(headers) != IMAGE_NT_SIGNATURE)
        return names;
    const std::size_t fileHeader = headers + 4;
    const std::size_t optionalHeader = fileHeader + sizeof(IMAGE_FILE_HEADER);
    if (read16(optionalHeader) != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return names;
    const std::size_t sectionCount = read16(fileHeader + 2);
    const std::size_t sections = optionalHeader + read16(fileHeader + 16);
    const std::size_t exportDirectory =
        optionalHeader + offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory);
    // Converts an address in the loaded image to an offset in the file.
    auto fileOffset = [&](std::uint32_t rva) -> std::size_t {
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t section = sections + i * sizeof(IMAGE_SECTION_HEADER);
            const std::uint32_t start = read32(section + 12);
            const std::uint32_t size = read32(section + 16);
            if (rva >= start && rva < start + size)
                return rva - start + read32(section + 20);
        }
        return image.size();
    };
    const std::size_t directory = fileOffset(read32(exportDirectory));
    const std::uint32_t nameCount = read32(directory + 24);
    const std::size_t nameTable = fileOffset(read32(directory + 32));
    for (std::uint32_t i = 0; i < nameCount; ++i) {
        std::size_t at = fileOffset(read32(nameTable + 4 * i));
        std::string name;
        while (at < image.size() && image[at] != 0)
            name.push_back(static_cast<char>(image[at++]));
        names.insert(name);
    }
    return names;
}

std::wstring QuillonExe() {
    return testing::WindowsPath(testing::RequiredEnvironment("QUILLON_EXE"));
}

TEST(DelRegKeyExport, QuillonExeExportsItUnderItsPlainName) {
    const std::set<std::string> names = ExportedNames(QuillonExe());
    EXPECT_EQ(names, std::set<std::string>{"DELREGKEY"});
}

// A key handle as the 32-bit value another program hands over: Windows keeps handles to 32
// significant bits.
std::uint32_t KeyValue(HKEY key) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key));
}

class DelRegKeyCall : public TestKeys {
  protected:
    // Calls it as another program would: the sub-key as a counted single-byte text.
    static LONG Delete(HKEY root, const std::string& subKey) {
        BSTR text = ::SysAllocStringByteLen(subKey.data(), static_cast<UINT>(subKey.size()));
        const char* handle = reinterpret_cast<const char*>(text);
        const std::uint32_t rootValue = KeyValue(root);
        const LONG result = DeleteRegistryKey(&rootValue, &handle);
        ::SysFreeString(text);
        return result;
    }
    static LONG DeleteWithNullText(HKEY root) {
        const char* handle = nullptr;
        const std::uint32_t rootValue = KeyValue(root);
        return DeleteRegistryKey(&rootValue, &handle);
    }
};

TEST_F(DelRegKeyCall, APlainKeyIsDeleted) {
    Create(Key("Plain"));
    EXPECT_EQ(Delete(HKEY_CURRENT_USER, Key("Plain")), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(Key("Plain")));
}

TEST_F(DelRegKeyCall, AMissingKeyGivesZero) {
    EXPECT_EQ(Delete(HKEY_CURRENT_USER, Key("Missing")), ERROR_SUCCESS);
}

TEST_F(DelRegKeyCall, AKeyWithSubKeysGivesTheErrorAndStays) {
    Create(Key("Parent\\Child"));
    EXPECT_NE(Delete(HKEY_CURRENT_USER, Key("Parent")), ERROR_SUCCESS);
    EXPECT_TRUE(Exists(Key("Parent\\Child")));
}

TEST_F(DelRegKeyCall, OnlyTheCountedLengthOfTheTextIsUsed) {
    Create(Key("Plain"));
    const std::string text = Key("Plain") + "\\Nothing";
    BSTR counted = ::SysAllocStringByteLen(text.data(), static_cast<UINT>(Key("Plain").size()));
    const char* handle = reinterpret_cast<const char*>(counted);
    const std::uint32_t root = KeyValue(HKEY_CURRENT_USER);
    EXPECT_EQ(DeleteRegistryKey(&root, &handle), ERROR_SUCCESS);
    ::SysFreeString(counted);
    EXPECT_FALSE(Exists(Key("Plain")));
}

TEST_F(DelRegKeyCall, ALongPathIsCutTo254Characters) {
    const std::string kept = Key(std::string(254 - Key("").size(), 'a'));
    ASSERT_EQ(kept.size(), 254u);
    Create(kept);
    EXPECT_EQ(Delete(HKEY_CURRENT_USER, kept + "bbbbbbbb"), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(kept));
}

TEST_F(DelRegKeyCall, MissingPointersDeleteNothing) {
    const std::uint32_t root = KeyValue(HKEY_CURRENT_USER);
    const char* handle = "x";
    EXPECT_EQ(DeleteRegistryKey(nullptr, &handle), ERROR_SUCCESS);
    EXPECT_EQ(DeleteRegistryKey(&root, nullptr), ERROR_SUCCESS);
}

TEST_F(DelRegKeyCall, AnEmptyTextDeletesNothing) {
    Create(Key("Plain"));
    HKEY opened = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, Key("Plain").c_str(), 0, KEY_ALL_ACCESS, &opened),
              ERROR_SUCCESS);
    UniqueRegKey key(opened);
    EXPECT_EQ(DeleteWithNullText(key.get()), ERROR_SUCCESS);
    EXPECT_EQ(Delete(key.get(), ""), ERROR_SUCCESS);
    EXPECT_TRUE(Exists(Key("Plain")));
}

// The predefined keys' 32-bit values, written out as other programs' headers give them.
struct RootKeyCase {
    std::uint32_t value;
    HKEY key;
};

void PrintTo(const RootKeyCase& c, std::ostream* out) {
    *out << "root key " << std::hex << c.value;
}

class RootKeyWidening : public ::testing::TestWithParam<RootKeyCase> {};

TEST_P(RootKeyWidening, APredefinedKeysValueNamesThatKey) {
    EXPECT_EQ(RootKeyFromValue(GetParam().value), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(PredefinedKeys, RootKeyWidening,
                         ::testing::Values(RootKeyCase{0x80000000u, HKEY_CLASSES_ROOT},
                                           RootKeyCase{0x80000001u, HKEY_CURRENT_USER},
                                           RootKeyCase{0x80000002u, HKEY_LOCAL_MACHINE},
                                           RootKeyCase{0x80000003u, HKEY_USERS}));

// A 32-bit root key value in the last four bytes of a page whose next page cannot be read,
// as a caller's variable may lie. A procedure that read eight bytes would touch that page:
// the handler notes the touch and then opens the page, whose bytes are garbage, so that the
// read goes on as it would in a caller's memory (and the test ends instead of crashing).
class ValueBeforeAClosedPage {
  public:
    explicit ValueBeforeAClosedPage(std::uint32_t value) {
        SYSTEM_INFO system{};
        ::GetSystemInfo(&system);
        pageSize_ = system.dwPageSize;
        base_ = static_cast<BYTE*>(
            ::VirtualAlloc(nullptr, 2 * pageSize_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (base_ == nullptr)
            return;
        std::memset(base_ + pageSize_, 0xEE, pageSize_);
        DWORD protection = 0;
        ::VirtualProtect(base_ + pageSize_, pageSize_, PAGE_NOACCESS, &protection);
        value_ = reinterpret_cast<std::uint32_t*>(base_ + pageSize_ - sizeof(std::uint32_t));
        *value_ = value;
        watched_ = this;
        handler_ = ::AddVectoredExceptionHandler(1, OnFault);
    }
    ~ValueBeforeAClosedPage() {
        if (handler_ != nullptr)
            ::RemoveVectoredExceptionHandler(handler_);
        watched_ = nullptr;
        if (base_ != nullptr)
            ::VirtualFree(base_, 0, MEM_RELEASE);
    }
    ValueBeforeAClosedPage(const ValueBeforeAClosedPage&) = delete;
    ValueBeforeAClosedPage& operator=(const ValueBeforeAClosedPage&) = delete;

    const std::uint32_t* get() const { return value_; }
    bool ReadPastTheValue() const { return readPast_; }

  private:
    static LONG CALLBACK OnFault(EXCEPTION_POINTERS* exception) {
        const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
        ValueBeforeAClosedPage* watched = watched_;
        if (watched == nullptr || record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION ||
            record.NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        const auto at = static_cast<std::uintptr_t>(record.ExceptionInformation[1]);
        const auto from = reinterpret_cast<std::uintptr_t>(watched->value_);
        const auto to = reinterpret_cast<std::uintptr_t>(watched->base_ + 2 * watched->pageSize_);
        if (at < from || at >= to)
            return EXCEPTION_CONTINUE_SEARCH;
        watched->readPast_ = true;
        DWORD protection = 0;
        ::VirtualProtect(watched->base_ + watched->pageSize_, watched->pageSize_, PAGE_READONLY,
                         &protection);
        return EXCEPTION_CONTINUE_EXECUTION;
    }

    static inline ValueBeforeAClosedPage* watched_ = nullptr;
    DWORD pageSize_ = 0;
    BYTE* base_ = nullptr;
    std::uint32_t* value_ = nullptr;
    PVOID handler_ = nullptr;
    bool readPast_ = false;
};

struct ExportCase {
    const char* name;
    HKEY root;
    std::uint32_t rootValue;
};

using DelRegKeyFunction = LONG(WINAPI*)(const std::uint32_t*, const char* const*);

// Wine maps an EXE loaded as a library without binding its imports; binds them as the loader
// binds a DLL's, so that the exported procedure can call Windows. False when one is missing.
bool BindImports(HMODULE module) {
    bool bound = true;
    testing::ForEachImport(module, [&bound](const testing::ImportEntry& entry) {
        HMODULE from = ::LoadLibraryA(entry.dll);
        const char* name = entry.name != nullptr ? entry.name : MAKEINTRESOURCEA(entry.ordinal);
        FARPROC procedure = from != nullptr ? ::GetProcAddress(from, name) : nullptr;
        bound = procedure != nullptr &&
                testing::WriteImportSlot(entry.slot, reinterpret_cast<const void*>(procedure));
        return bound;
    });
    return bound;
}

// DELREGKEY called through the export of the built Quillon.exe, as another program calls it:
// the machine code that ships, with the root key's value where a 32-bit caller puts it.
class DelRegKeyExportCall : public ::testing::TestWithParam<ExportCase> {
  protected:
    void SetUp() override {
        module_.Reset(::LoadLibraryW(QuillonExe().c_str()));
        ASSERT_TRUE(module_) << "Quillon.exe could not be loaded: " << ::GetLastError();
        ASSERT_TRUE(BindImports(module_.get()));
        // Through a pointer-sized integer: an exported address has no type of its own.
        delRegKey_ = reinterpret_cast<DelRegKeyFunction>(
            reinterpret_cast<std::uintptr_t>(::GetProcAddress(module_.get(), "DELREGKEY")));
        ASSERT_NE(delRegKey_, nullptr);
    }
    void TearDown() override { ::RegDeleteTreeA(GetParam().root, kTestRoot); }

    UniqueModule module_;
    DelRegKeyFunction delRegKey_ = nullptr;
};

TEST_P(DelRegKeyExportCall, ReadsOnlyTheFourBytesOfTheRootKeyAndDeletesTheKey) {
    const ExportCase& c = GetParam();
    const std::string key = std::string(kTestRoot) + "\\Export";
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(c.root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &created, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(created);

    const ValueBeforeAClosedPage root(c.rootValue);
    ASSERT_NE(root.get(), nullptr);
    BSTR text = ::SysAllocStringByteLen(key.data(), static_cast<UINT>(key.size()));
    const char* handle = reinterpret_cast<const char*>(text);
    const LONG result = delRegKey_(root.get(), &handle);
    ::SysFreeString(text);

    EXPECT_FALSE(root.ReadPastTheValue()) << "more than the four bytes of the root key were read";
    EXPECT_EQ(result, ERROR_SUCCESS);
    HKEY opened = nullptr;
    const LONG reopened = ::RegOpenKeyExA(c.root, key.c_str(), 0, KEY_READ, &opened);
    if (reopened == ERROR_SUCCESS)
        ::RegCloseKey(opened);
    EXPECT_EQ(reopened, ERROR_FILE_NOT_FOUND) << "the key is still there";
}

INSTANTIATE_TEST_SUITE_P(
    Callers, DelRegKeyExportCall,
    ::testing::Values(ExportCase{"CurrentUser", HKEY_CURRENT_USER, 0x80000001u},
                      ExportCase{"LocalMachine", HKEY_LOCAL_MACHINE, 0x80000002u}),
    testing::CaseName());

}  // namespace
}  // namespace quillon
