// The registry calls of the Win32 back end against Wine's real registry,
// and the settings read and written through them.
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "platform/constants.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_platform.h"

namespace {

using platform::win32::Win32Platform;

void DeleteSettingsKey() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, app::kSettingsKeyPath); }

class Win32Registry : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }
    Win32Platform win32;
};

TEST_F(Win32Registry, MissingKeyIsAFirstRun) {
    app::TickerSettings settings;
    EXPECT_EQ(app::ReadTickerSettings(win32, settings), app::SettingsSource::FirstRun);
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyA(HKEY_LOCAL_MACHINE, app::kSettingsKeyPath, &key), ERROR_SUCCESS)
        << "loading creates nothing";
}

TEST_F(Win32Registry, SavedValuesHaveTheirTypesAndSizes) {
    app::TickerSettings settings;
    settings.rect = platform::Rect{-20, 30, 480, 48};
    settings.speed = -1;
    settings.symbols = "IBM, MSFT";
    app::WriteTickerSettings(win32, settings);

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyA(HKEY_LOCAL_MACHINE, app::kSettingsKeyPath, &key), ERROR_SUCCESS);
    // The text goes in without its terminator; the ANSI registry call may
    // store one of its own, so only its type is checked here.
    constexpr DWORD kAnySize = 0;
    struct Expected {
        const char* name;
        DWORD type;
        DWORD size;
    };
    const Expected values[] = {{"Top", REG_DWORD, 4},      {"Left", REG_DWORD, 4},     {"Right", REG_DWORD, 4},
                               {"AlwaysOnTop", REG_DWORD, 4}, {"Snapping", REG_DWORD, 4}, {"DataMask", REG_DWORD, 4},
                               {"Update", REG_DWORD, 4},   {"Speed", REG_DWORD, 4},    {"Symbols", REG_SZ, kAnySize}};
    for (const Expected& expected : values) {
        DWORD type = 0;
        DWORD size = 0;
        EXPECT_EQ(::RegQueryValueExA(key, expected.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS)
            << expected.name;
        EXPECT_EQ(type, expected.type) << expected.name;
        if (expected.size != kAnySize) EXPECT_EQ(size, expected.size) << expected.name;
    }
    DWORD speed = 0;
    DWORD size = sizeof speed;
    ::RegQueryValueExA(key, "Speed", nullptr, nullptr, reinterpret_cast<BYTE*>(&speed), &size);
    EXPECT_EQ(speed, 0xFFFFFFFFu);
    ::RegCloseKey(key);

    app::TickerSettings loaded;
    ASSERT_EQ(app::ReadTickerSettings(win32, loaded), app::SettingsSource::Stored);
    EXPECT_EQ(loaded.rect, settings.rect);
    EXPECT_EQ(loaded.symbols, "IBM, MSFT");
    EXPECT_EQ(loaded.speed, 1) << "a stored -1 is raised to 1";
}

TEST_F(Win32Registry, BadlyTypedOrSizedValuesAreIgnored) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, app::kSettingsKeyPath, &key), ERROR_SUCCESS);
    const BYTE eightBytes[8] = {3, 0, 0, 0, 0, 0, 0, 0};
    ::RegSetValueExA(key, "Speed", 0, REG_DWORD, eightBytes, sizeof eightBytes);
    const BYTE twoBytes[2] = {1, 0};
    ::RegSetValueExA(key, "DataMask", 0, REG_DWORD, twoBytes, sizeof twoBytes);
    const char expand[] = "IBM";
    ::RegSetValueExA(key, "Symbols", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand);
    const char text[] = "5";
    ::RegSetValueExA(key, "Update", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    ::RegCloseKey(key);

    app::TickerSettings settings;
    settings.symbols = "DEFAULT";
    ASSERT_EQ(app::ReadTickerSettings(win32, settings), app::SettingsSource::Stored);
    EXPECT_EQ(settings.speed, 1);
    EXPECT_EQ(settings.dataMask, 0x10000101u);
    EXPECT_EQ(settings.updateInterval, 300000u);
    EXPECT_EQ(settings.symbols, "DEFAULT");
}

TEST_F(Win32Registry, SymbolsWithoutTerminatorAreReadWhole) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, app::kSettingsKeyPath, &key), ERROR_SUCCESS);
    const char symbols[] = {'V', 'O', 'D', '.', 'L'};
    ::RegSetValueExA(key, "Symbols", 0, REG_SZ, reinterpret_cast<const BYTE*>(symbols), sizeof symbols);
    ::RegCloseKey(key);

    app::TickerSettings settings;
    app::ReadTickerSettings(win32, settings);
    EXPECT_EQ(settings.symbols, "VOD.L");
}

}  // namespace
