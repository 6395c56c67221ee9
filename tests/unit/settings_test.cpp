// Loading and saving the nine persisted values.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/fake/fake_platform.h"

namespace {

using platform::Rect;
using platform::fake::FakePlatform;

const std::string kKey = "HKLM\\Software\\Orvo";

struct LoadCase {
    const char* name;
    std::function<void(FakePlatform&)> store;
    std::function<void(const app::TickerSettings&)> check;
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class LoadSettings : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadSettings, AppliesTheStoredValueRules) {
    FakePlatform fake;
    fake.registry[kKey];  // the key exists
    GetParam().store(fake);
    app::TickerSettings settings;
    ASSERT_EQ(app::ReadTickerSettings(fake, settings), app::SettingsSource::Stored);
    GetParam().check(settings);
    EXPECT_TRUE(fake.openKeys.empty()) << "the key must be closed again";
}

void StoreRect(FakePlatform& fake, std::int32_t top, std::int32_t left, std::int32_t right) {
    fake.SetDword(kKey, "Top", static_cast<std::uint32_t>(top));
    fake.SetDword(kKey, "Left", static_cast<std::uint32_t>(left));
    fake.SetDword(kKey, "Right", static_cast<std::uint32_t>(right));
}

std::function<void(const app::TickerSettings&)> RectIs(Rect expected) {
    return [expected](const app::TickerSettings& s) {
        EXPECT_EQ(s.rect.left, expected.left);
        EXPECT_EQ(s.rect.top, expected.top);
        EXPECT_EQ(s.rect.right, expected.right);
        EXPECT_EQ(s.rect.bottom, expected.bottom);
    };
}

std::function<void(const app::TickerSettings&)> SpeedIs(std::int16_t speed) {
    return [speed](const app::TickerSettings& s) { EXPECT_EQ(s.speed, speed); };
}

std::function<void(FakePlatform&)> Dword(const char* name, std::uint32_t value) {
    return [name, value](FakePlatform& fake) { fake.SetDword(kKey, name, value); };
}

const app::TickerSettings kDefaults;

// Registry types and a status that the bar never writes itself.
constexpr std::uint32_t kRegDwordBigEndian = 5;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;
constexpr long kErrorAccessDenied = 5;
const char* const kValueNames[] = {"Top",      "Left",   "Right", "AlwaysOnTop", "Snapping",
                                   "DataMask", "Update", "Speed", "Symbols"};

std::function<void(const app::TickerSettings&)> UpdateIs(std::uint32_t interval) {
    return [interval](const app::TickerSettings& s) { EXPECT_EQ(s.updateInterval, interval); };
}

std::function<void(const app::TickerSettings&)> SymbolsAreTheDefault() {
    return [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, kDefaults.symbols); };
}

// "Symbols" holds `first` when its size is asked for, and is replaced by
// `second` of `type` just before it is read, as when another program
// writes it in between.
void ChangeSymbolsAtTheSecondRead(FakePlatform& fake, const std::string& first, std::uint32_t type,
                                  const std::string& second) {
    fake.SetText(kKey, "Symbols", first);
    auto reads = std::make_shared<int>(0);
    fake.onQueryValue = [reads, type, second](FakePlatform& f, const std::string& name) {
        if (name == "Symbols" && ++*reads == 2) f.SetText(kKey, "Symbols", second, type);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoadSettings,
    ::testing::Values(
        LoadCase{"full rectangle", [](FakePlatform& f) { StoreRect(f, 100, 200, 700); },
                 RectIs({200, 100, 700, 118})},
        LoadCase{"narrow bar widened by moving the left edge", [](FakePlatform& f) { StoreRect(f, 100, 500, 550); },
                 RectIs({450, 100, 550, 118})},
        LoadCase{"narrow bar near the origin", [](FakePlatform& f) { StoreRect(f, 100, 20, 50); },
                 RectIs({0, 100, 100, 118})},
        LoadCase{"exactly 100 wide is widened too", [](FakePlatform& f) { StoreRect(f, 5, 300, 400); },
                 RectIs({300, 5, 400, 23})},
        LoadCase{"101 wide stays", [](FakePlatform& f) { StoreRect(f, 5, 300, 401); }, RectIs({300, 5, 401, 23})},
        LoadCase{"no Top gives a 16-pixel bar at the top",
                 [](FakePlatform& f) {
                     f.SetDword(kKey, "Left", 10);
                     f.SetDword(kKey, "Right", 400);
                 },
                 RectIs({10, 0, 400, 16})},
        LoadCase{"no Left and Right", Dword("Top", 50), RectIs({0, 50, 100, 68})},
        LoadCase{"Top -18 leaves bottom 0", [](FakePlatform& f) { StoreRect(f, -18, 10, 400); },
                 RectIs({10, -18, 400, 0})},
        LoadCase{"off-screen rectangle kept", [](FakePlatform& f) { StoreRect(f, 3000, -5000, -4000); },
                 RectIs({-5000, 3000, -4000, 3018})},
        LoadCase{"huge Top cannot overflow", [](FakePlatform& f) { StoreRect(f, 0x7FFFFFFF, 0, 500); },
                 RectIs({0, app::kCoordinateLimit, 500, app::kCoordinateLimit + 18})},
        LoadCase{"huge negative Left and Right",
                 [](FakePlatform& f) { StoreRect(f, 0, INT32_MIN, INT32_MIN + 1); },
                 RectIs({0, 0, 100, 18})},
        LoadCase{"huge Right", [](FakePlatform& f) { StoreRect(f, 0, 0x7FFFFFF0, 0x7FFFFFFF); },
                 RectIs({app::kCoordinateLimit - 100, 0, app::kCoordinateLimit, 18})},
        LoadCase{"Speed 0 loads as 1", Dword("Speed", 0), SpeedIs(1)},
        LoadCase{"Speed 2 unchanged", Dword("Speed", 2), SpeedIs(2)},
        LoadCase{"Speed 4 unchanged", Dword("Speed", 4), SpeedIs(4)},
        LoadCase{"Speed 9 limited to 5", Dword("Speed", 9), SpeedIs(5)},
        LoadCase{"Speed 65537 uses the low 16 bits", Dword("Speed", 65537), SpeedIs(1)},
        LoadCase{"Speed 65535 is -1, raised to 1", Dword("Speed", 65535), SpeedIs(1)},
        LoadCase{"Speed 0x00010005 gives 5", Dword("Speed", 0x00010005), SpeedIs(5)},
        LoadCase{"Speed 32768 is negative", Dword("Speed", 32768), SpeedIs(1)},
        LoadCase{"AlwaysOnTop 7 is on", Dword("AlwaysOnTop", 7),
                 [](const app::TickerSettings& s) { EXPECT_TRUE(s.alwaysOnTop); }},
        LoadCase{"AlwaysOnTop -1 is off", Dword("AlwaysOnTop", 0xFFFFFFFF),
                 [](const app::TickerSettings& s) { EXPECT_FALSE(s.alwaysOnTop); }},
        LoadCase{"AlwaysOnTop 0 is off", Dword("AlwaysOnTop", 0),
                 [](const app::TickerSettings& s) { EXPECT_FALSE(s.alwaysOnTop); }},
        LoadCase{"Snapping 7 is on", Dword("Snapping", 7),
                 [](const app::TickerSettings& s) { EXPECT_TRUE(s.snapping); }},
        LoadCase{"Snapping -1 is off", Dword("Snapping", 0xFFFFFFFF),
                 [](const app::TickerSettings& s) { EXPECT_FALSE(s.snapping); }},
        LoadCase{"Update taken unchecked", Dword("Update", 0xFFFFFFFF),
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.updateInterval, 0xFFFFFFFFu); }},
        LoadCase{"Update 0 means off", Dword("Update", 0),
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.updateInterval, 0u); }},
        LoadCase{"DataMask taken unchecked", Dword("DataMask", 0xDEADBEEF),
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.dataMask, 0xDEADBEEFu); }},
        LoadCase{"a DWORD value stored as REG_BINARY is ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Speed", platform::kRegBinary, {3, 0, 0, 0}); }, SpeedIs(1)},
        LoadCase{"a DWORD value stored as text is ignored",
                 [](FakePlatform& f) { f.SetText(kKey, "Update", "120000"); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.updateInterval, kDefaults.updateInterval); }},
        LoadCase{"a two-byte REG_DWORD is ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "DataMask", platform::kRegDword, {1, 0}); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.dataMask, kDefaults.dataMask); }},
        LoadCase{"an eight-byte REG_DWORD is ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Speed", platform::kRegDword, {3, 0, 0, 0, 0, 0, 0, 0}); },
                 SpeedIs(1)},
        LoadCase{"Symbols read up to the terminator",
                 [](FakePlatform& f) { f.SetText(kKey, "Symbols", "IBM, MSFT"); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, "IBM, MSFT"); }},
        LoadCase{"Symbols without a terminating zero",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Symbols", platform::kRegSz, {'I', 'B', 'M'}); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, "IBM"); }},
        LoadCase{"Symbols cut at an inner zero byte",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Symbols", platform::kRegSz, {'A', 0, 'B', 'C'}); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, "A"); }},
        LoadCase{"empty Symbols ignored", [](FakePlatform& f) { f.SetRaw(kKey, "Symbols", platform::kRegSz, {}); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, kDefaults.symbols); }},
        LoadCase{"REG_EXPAND_SZ Symbols ignored",
                 [](FakePlatform& f) { f.SetText(kKey, "Symbols", "IBM", platform::kRegExpandSz); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, kDefaults.symbols); }},
        LoadCase{"long Symbols read whole",
                 [](FakePlatform& f) { f.SetText(kKey, "Symbols", std::string(60000, 'X')); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, std::string(60000, 'X')); }},
        LoadCase{"oversized Symbols not read",
                 [](FakePlatform& f) { f.SetText(kKey, "Symbols", std::string(app::kMaxSymbolsBytes + 1, 'X')); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, kDefaults.symbols); }},
        // Values the bar cannot use: other types, other sizes, huge texts,
        // values that cannot be read, values that change between two reads.
        LoadCase{"a DWORD value stored as REG_QWORD is ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Update", kRegQword, {0x10, 0x27, 0, 0, 0, 0, 0, 0}); },
                 UpdateIs(kDefaults.updateInterval)},
        LoadCase{"a big-endian DWORD is ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Speed", kRegDwordBigEndian, {0, 0, 0, 3}); }, SpeedIs(1)},
        LoadCase{"an empty REG_DWORD is ignored",
                 [](FakePlatform& f) {
                     f.SetRaw(kKey, "Top", platform::kRegDword, {});
                     f.SetDword(kKey, "Left", 10);
                     f.SetDword(kKey, "Right", 400);
                 },
                 RectIs({10, 0, 400, 16})},
        LoadCase{"a huge text in place of a DWORD is ignored",
                 [](FakePlatform& f) {
                     StoreRect(f, 50, 10, 400);
                     f.SetText(kKey, "Left", std::string(2 * app::kMaxSymbolsBytes, '9'));
                 },
                 RectIs({0, 50, 400, 68})},
        LoadCase{"REG_MULTI_SZ Symbols ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Symbols", kRegMultiSz, {'I', 'B', 'M', 0, 'G', 'E', 0, 0}); },
                 SymbolsAreTheDefault()},
        LoadCase{"REG_BINARY Symbols ignored",
                 [](FakePlatform& f) { f.SetRaw(kKey, "Symbols", platform::kRegBinary, {'I', 'B', 'M'}); },
                 SymbolsAreTheDefault()},
        LoadCase{"REG_DWORD Symbols ignored", Dword("Symbols", 0x004D4249), SymbolsAreTheDefault()},
        LoadCase{"Symbols of exactly the largest size read whole",
                 [](FakePlatform& f) {
                     f.SetRaw(kKey, "Symbols", platform::kRegSz, std::vector<std::uint8_t>(app::kMaxSymbolsBytes, 'X'));
                 },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, std::string(app::kMaxSymbolsBytes, 'X')); }},
        LoadCase{"a value that cannot be read leaves its field",
                 [](FakePlatform& f) {
                     f.SetDword(kKey, "Speed", 3);
                     f.queryFailures["Speed"] = kErrorAccessDenied;
                 },
                 SpeedIs(1)},
        LoadCase{"no value can be read: the defaults and the corrected empty rectangle",
                 [](FakePlatform& f) {
                     StoreRect(f, 50, 10, 400);
                     f.SetDword(kKey, "Speed", 3);
                     f.SetDword(kKey, "Update", 0);
                     f.SetText(kKey, "Symbols", "IBM");
                     for (const char* name : kValueNames) f.queryFailures[name] = kErrorAccessDenied;
                 },
                 [](const app::TickerSettings& s) {
                     RectIs({0, 0, 100, 16})(s);
                     EXPECT_EQ(s.speed, kDefaults.speed);
                     EXPECT_EQ(s.updateInterval, kDefaults.updateInterval);
                     EXPECT_EQ(s.symbols, kDefaults.symbols);
                 }},
        LoadCase{"Symbols longer at the second read than the first said: ignored",
                 [](FakePlatform& f) { ChangeSymbolsAtTheSecondRead(f, "IBM", platform::kRegSz, "IBM, MSFT, GE"); },
                 SymbolsAreTheDefault()},
        LoadCase{"Symbols shorter at the second read: the shorter text",
                 [](FakePlatform& f) { ChangeSymbolsAtTheSecondRead(f, "IBM, MSFT, GE", platform::kRegSz, "GE"); },
                 [](const app::TickerSettings& s) { EXPECT_EQ(s.symbols, "GE"); }},
        LoadCase{"Symbols of another type at the second read: ignored",
                 [](FakePlatform& f) {
                     ChangeSymbolsAtTheSecondRead(f, "IBM, MSFT", platform::kRegExpandSz, "GE");
                 },
                 SymbolsAreTheDefault()}),
    [](const ::testing::TestParamInfo<LoadCase>& info) {
        std::string name;
        for (const char* c = info.param.name; *c != '\0'; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(LoadSettingsOrder, ReadsTheValuesInTheirOrderAndClosesTheKey) {
    FakePlatform fake;
    fake.registry[kKey];
    app::TickerSettings settings;
    app::ReadTickerSettings(fake, settings);
    std::vector<std::string> names;
    for (const std::string& call : fake.CallsNamed("RegQueryValue")) {
        const auto open = call.find('"');
        names.push_back(call.substr(open + 1, call.find('"', open + 1) - open - 1));
    }
    const std::vector<std::string> expected = {"Top",    "Left",  "Right",   "AlwaysOnTop",       "Snapping", "DataMask",
                                               "Update", "Speed", "Symbols", "ReserveScreenSpace"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(fake.CallsNamed("RegCloseKey").size(), 1u);
}

TEST(LoadSettingsFirstRun, MissingKeyChangesNothingAndWritesNothing) {
    FakePlatform fake;
    app::TickerSettings settings;
    settings.rect = Rect{1, 2, 3, 4};
    settings.symbols = "KEEP";
    EXPECT_EQ(app::ReadTickerSettings(fake, settings), app::SettingsSource::FirstRun);
    EXPECT_EQ(settings.rect, Rect{});
    EXPECT_EQ(settings.symbols, "KEEP");
    EXPECT_EQ(settings.speed, 1);
    EXPECT_TRUE(fake.registry.empty());
    EXPECT_TRUE(fake.CallsNamed("RegCreateKey").empty());
}

TEST(SaveSettings, WritesAllNineValuesInTheirOrder) {
    FakePlatform fake;
    app::TickerSettings settings;
    settings.rect = Rect{-30, 7, 470, 25};
    settings.alwaysOnTop = false;
    settings.snapping = true;
    settings.dataMask = 0x11111113;
    settings.updateInterval = 120000;
    settings.speed = -1;
    settings.symbols = "IBM, MSFT";
    app::WriteTickerSettings(fake, settings);

    const std::vector<std::string> writes = fake.CallsNamed("RegSetValue");
    const std::vector<std::string> expected = {
        "RegSetValue(k1, \"Top\", 4, 4)",         "RegSetValue(k1, \"Left\", 4, 4)",
        "RegSetValue(k1, \"Right\", 4, 4)",       "RegSetValue(k1, \"DataMask\", 4, 4)",
        "RegSetValue(k1, \"Update\", 4, 4)",      "RegSetValue(k1, \"AlwaysOnTop\", 4, 4)",
        "RegSetValue(k1, \"Snapping\", 4, 4)",    "RegSetValue(k1, \"Speed\", 4, 4)",
        "RegSetValue(k1, \"Symbols\", 1, 9)"};
    EXPECT_EQ(writes, expected);
    EXPECT_EQ(fake.Dword(kKey, "Top"), 7u);
    EXPECT_EQ(fake.Dword(kKey, "Left"), static_cast<std::uint32_t>(-30));
    EXPECT_EQ(fake.Dword(kKey, "Right"), 470u);
    EXPECT_EQ(fake.Dword(kKey, "AlwaysOnTop"), 0u);
    EXPECT_EQ(fake.Dword(kKey, "Snapping"), 1u);
    EXPECT_EQ(fake.Dword(kKey, "DataMask"), 0x11111113u);
    EXPECT_EQ(fake.Dword(kKey, "Update"), 120000u);
    EXPECT_EQ(fake.Dword(kKey, "Speed"), 0xFFFFFFFFu) << "speed is widened with its sign";
    EXPECT_EQ(fake.Text(kKey, "Symbols"), "IBM, MSFT") << "no terminating zero is stored";
    EXPECT_TRUE(fake.openKeys.empty());
}

TEST(LoadSettingsUnreadableKey, IsAFirstRunThatChangesNothing) {
    FakePlatform fake;
    StoreRect(fake, 50, 10, 400);  // there, but it cannot be opened
    fake.openKeyFailure = kErrorAccessDenied;
    app::TickerSettings settings;
    settings.symbols = "KEEP";
    EXPECT_EQ(app::ReadTickerSettings(fake, settings), app::SettingsSource::FirstRun);
    EXPECT_EQ(settings.rect, Rect{});
    EXPECT_EQ(settings.symbols, "KEEP");
    EXPECT_TRUE(fake.CallsNamed("RegQueryValue").empty());
    EXPECT_TRUE(fake.openKeys.empty());
}

TEST(SaveSettings, AKeyThatCannotBeMadeWritesNothingAndGoesOn) {
    FakePlatform fake;
    fake.createKeyFailure = kErrorAccessDenied;
    app::TickerSettings settings;
    settings.symbols = "IBM";
    app::WriteTickerSettings(fake, settings);
    EXPECT_TRUE(fake.CallsNamed("RegSetValue").empty());
    EXPECT_TRUE(fake.CallsNamed("RegCloseKey").empty()) << "no key to close";
    EXPECT_TRUE(fake.registry.empty());
}

TEST(SaveSettings, EmptySymbolListIsAnEmptyValueThatTheNextLoadIgnores) {
    FakePlatform fake;
    app::TickerSettings saved;
    saved.symbols = "";
    app::WriteTickerSettings(fake, saved);
    EXPECT_TRUE(fake.registry.at(kKey).at("Symbols").data.empty());

    app::TickerSettings loaded;
    loaded.symbols = "DEFAULT";
    app::ReadTickerSettings(fake, loaded);
    EXPECT_EQ(loaded.symbols, "DEFAULT");
}

TEST(SaveSettings, RoundTripKeepsEveryField) {
    FakePlatform fake;
    app::TickerSettings saved;
    saved.rect = Rect{40, 300, 640, 318};
    saved.alwaysOnTop = false;
    saved.snapping = false;
    saved.dataMask = 0x1000;
    saved.updateInterval = 1800000;
    saved.speed = 3;
    saved.symbols = "VOD.L, News<http://x/y>";
    app::WriteTickerSettings(fake, saved);

    app::TickerSettings loaded;
    ASSERT_EQ(app::ReadTickerSettings(fake, loaded), app::SettingsSource::Stored);
    EXPECT_EQ(loaded.rect, saved.rect);
    EXPECT_EQ(loaded.alwaysOnTop, saved.alwaysOnTop);
    EXPECT_EQ(loaded.snapping, saved.snapping);
    EXPECT_EQ(loaded.dataMask, saved.dataMask);
    EXPECT_EQ(loaded.updateInterval, saved.updateInterval);
    EXPECT_EQ(loaded.speed, saved.speed);
    EXPECT_EQ(loaded.symbols, saved.symbols);
}

TEST(Greeting, IsTheFivePiecesInOrder) {
    EXPECT_STREQ(app::kGreetingCaption, "New Velmoria User");
    EXPECT_STREQ(app::kGreetingText,
                 "Velmoria - Free, Easy, Interactive Stock Ticker\n\nHere are two tips to get you started:\n"
                 "#1. Right-click on Velmoria to see a menu of options.\n"
                 "#2. Click on scrolling symbols to get detailed information.\n\nPress OK to start Velmoria...");
}

}  // namespace
