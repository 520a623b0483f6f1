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
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "base/Handles_win.h"
#include "support/WinTestSupport_win.h"

namespace quillon {
namespace {

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

TEST_F(GetRegistryValueTest, AMissingKeyOrValueGivesTheEmptyText) {
    SetText(Key("Current"), "Version", "7.0.1-0");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Missing"), "Version"), "");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "Other"), "");
    EXPECT_EQ(GetRegistryValue(HKEY_CURRENT_USER, Key("Current"), "*"), "");
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

[[maybe_unused]] void PrintTo(const ViewCase& c, std::ostream* out) {
    *out << c.name;
}

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
    [](const ::testing::TestParamInfo<ViewCase>& param) { return std::string(param.param.name); });

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

class DelRegKeyCall : public TestKeys {
  protected:
    // Calls it as another program would: the sub-key as a counted single-byte text.
    static LONG Delete(HKEY root, const std::string& subKey) {
        BSTR text = ::SysAllocStringByteLen(subKey.data(), static_cast<UINT>(subKey.size()));
        const char* handle = reinterpret_cast<const char*>(text);
        const LONG result = DeleteRegistryKey(&root, &handle);
        ::SysFreeString(text);
        return result;
    }
    static LONG DeleteWithNullText(HKEY root) {
        const char* handle = nullptr;
        return DeleteRegistryKey(&root, &handle);
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
    HKEY root = HKEY_CURRENT_USER;
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
    HKEY root = HKEY_CURRENT_USER;
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

}  // namespace
}  // namespace quillon
