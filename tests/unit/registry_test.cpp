#include <gtest/gtest.h>

#include "common/registry.h"
#include "testkit/wine_test.h"

namespace {

// A program key of its own, so the test never touches the real one.
constexpr const wchar_t* kScratchName = L"mfpsm_unit_registry";
constexpr const wchar_t* kScratchKey = L"software\\Orvanite\\Printer\\mfpsm_unit_registry";
constexpr const wchar_t* kScratchRun = L"mfpsm_unit_registry";

class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        DeleteRegTree(HKEY_LOCAL_MACHINE, kScratchKey);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            HKEY run;
            if (RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
                RegDeleteValueW(run, kScratchRun);
                RegCloseKey(run);
            }
        }
    }
};

// The machine's Run key as a standard user finds it: written only by an
// administrator.
LONG RefuseMachine(HKEY root, const WCHAR* valueName, const WCHAR* data)
{
    return root == HKEY_LOCAL_MACHINE ? ERROR_ACCESS_DENIED : SM_SetRunValue(root, valueName, data);
}

} // namespace

TEST_F(RegistrySettings, NumbersAreStoredAsDwords)
{
    const struct {
        const wchar_t* name;
        int value;
        DWORD stored;
    } cases[] = {{L"AtmMode", -1, 0xFFFFFFFFu}, {L"AtmMode", 0, 0}, {L"Language", 1028, 1028},
                 {L"Language", 2052, 2052}, {L"Language", 2147483647, 0x7FFFFFFFu}};
    for (const auto& c : cases) {
        EXPECT_EQ(MISC_SetRegValue(c.name, c.value, kScratchName), 1);
        DWORD got = 0;
        ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kScratchKey, c.name, &got));
        EXPECT_EQ(got, c.stored) << c.value;
    }
}

TEST_F(RegistrySettings, OpenRegKeyCreatesTheMissingLevel)
{
    HKEY key = nullptr;
    ASSERT_EQ(MISC_OpenRegKey(&key, kScratchName), 1);
    RegCloseKey(key);
    HKEY check;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kScratchKey, 0, KEY_READ, &check), ERROR_SUCCESS);
    RegCloseKey(check);
    // A second open finds the key and hands it out.
    ASSERT_EQ(MISC_OpenRegKey(&key, kScratchName), 1);
    RegCloseKey(key);
}

TEST_F(RegistrySettings, AutostartIsWrittenAndDeleted)
{
    // A path with a space is stored in quotes, so that no planted
    // C:\Program.exe runs at logon in its place; one without stays as it is.
    const struct {
        const wchar_t* exe;
        const wchar_t* stored;
    } cases[] = {
        {L"C:\\Program Files\\Orvanite\\mfpsm.exe", L"\"C:\\Program Files\\Orvanite\\mfpsm.exe\" logon"},
        {L"C:\\Orvanite\\mfpsm.exe", L"C:\\Orvanite\\mfpsm.exe logon"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SM_WriteAutostart(kScratchRun, c.exe), 1);
        std::wstring stored;
        ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kScratchRun, &stored));
        EXPECT_EQ(stored, c.stored);

        DWORD type = 0, size = 0;
        ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, kScratchRun, RRF_RT_ANY, &type, nullptr, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, (wcslen(c.stored) + 1) * sizeof(wchar_t)) << "stored with its terminating zero";

        EXPECT_EQ(SM_DeleteAutostart(kScratchRun), 1);
        EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kScratchRun, &stored));
        EXPECT_EQ(SM_DeleteAutostart(kScratchRun), 0) << "deleting a missing value fails quietly";
    }
}

TEST_F(RegistrySettings, RefusedMachineAutostartIsWrittenForTheUser)
{
    const wchar_t* exe = L"C:\\Orvanite\\mfpsm.exe";
    std::wstring stored;
    EXPECT_EQ(SM_WriteAutostart(kScratchRun, exe, RefuseMachine), 1);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kScratchRun, &stored));
    ASSERT_TRUE(ReadRegString(HKEY_CURRENT_USER, kRunKey, kScratchRun, &stored));
    EXPECT_EQ(stored, std::wstring(exe) + L" logon");

    // One written by an administrator before: "uninstall" removes both.
    ASSERT_EQ(SM_WriteAutostart(kScratchRun, exe), 1);
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kScratchRun, &stored));
    EXPECT_EQ(SM_DeleteAutostart(kScratchRun), 1);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kScratchRun, &stored));
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kRunKey, kScratchRun, &stored));
}
