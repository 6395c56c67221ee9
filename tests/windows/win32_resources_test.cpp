// What velmoria.exe carries: its version, a manifest that leaves registry
// virtualisation on, the two templates and the logo. The exe's path comes
// from the environment (VELMORIA_EXE, a Windows path).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

namespace {

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("VELMORIA_EXE");
        ASSERT_NE(path, nullptr) << "VELMORIA_EXE names the exe to inspect";
        exePath = path;
        module = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot open " << path;
    }
    void TearDown() override {
        if (module != nullptr) ::FreeLibrary(module);
    }

    std::string Resource(LPCSTR type, LPCSTR name) {
        HRSRC found = ::FindResourceA(module, name, type);
        if (found == nullptr) return {};
        HGLOBAL loaded = ::LoadResource(module, found);
        const char* data = static_cast<const char*>(::LockResource(loaded));
        return std::string(data, ::SizeofResource(module, found));
    }

    std::string exePath;
    HMODULE module = nullptr;
};

TEST_F(ExeResources, ManifestHasNoRequestedExecutionLevel) {
    const std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty()) << "the exe carries its own manifest";
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
    EXPECT_EQ(manifest.find("trustInfo"), std::string::npos);
}

TEST_F(ExeResources, ManifestNamesTheProcessorTheExeIsBuiltFor) {
    // The exe under test comes from the same build as this test.
#ifdef _WIN64
    const char* expected = "processorArchitecture=\"amd64\"";
#else
    const char* expected = "processorArchitecture=\"x86\"";
#endif
    const std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    EXPECT_NE(manifest.find(expected), std::string::npos) << manifest;
}

TEST_F(ExeResources, VersionIs5600) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(exePath.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(::GetFileVersionInfoA(exePath.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(info->dwFileVersionMS, 0x00050006u);
    EXPECT_EQ(info->dwFileVersionLS, 0u);
    EXPECT_EQ(info->dwProductVersionMS, 0x00050006u);
    EXPECT_EQ(info->dwProductVersionLS, 0u);
}

TEST_F(ExeResources, TemplatesAndLogoArePresent) {
    const std::string bar = Resource(RT_DIALOG, MAKEINTRESOURCEA(201));
    ASSERT_GE(bar.size(), 26u);
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, exStyle, style,
    // item count, x, y, cx, cy.
    auto word = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bar[at]) |
                                                                   static_cast<unsigned char>(bar[at + 1]) << 8); };
    auto dword = [&](std::size_t at) { return word(at) | word(at + 2) << 16; };
    EXPECT_EQ(word(0), 1u);
    EXPECT_EQ(word(2), 0xFFFFu);
    EXPECT_EQ(dword(8), static_cast<unsigned>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(dword(12), static_cast<unsigned>(WS_POPUP | DS_SETFONT));
    EXPECT_EQ(word(16), 0u) << "no controls";
    EXPECT_EQ(word(22), 282u);
    EXPECT_EQ(word(24), 11u);

    const std::string entry = Resource(RT_DIALOG, MAKEINTRESOURCEA(202));
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(static_cast<unsigned char>(entry[16]), 4u) << "edit, OK, Cancel and prompt";

    const std::string logo = Resource(RT_BITMAP, MAKEINTRESOURCEA(206));
    ASSERT_GE(logo.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, logo.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 18);
    EXPECT_EQ(header.biHeight, 18);
    EXPECT_EQ(header.biBitCount, 4) << "16 colours";
}

}  // namespace
