#include "quotes/browser.h"

#include "platform/constants.h"
#include "quotes/endpoints.h"

namespace quotes {

namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;

bool NeedsEscape(unsigned char c) { return c < kFirstPrintable || c == kDelete || c == ' ' || c == '"'; }

std::string DetailPage(const char* parameter, const std::string& value) {
    return HomeSite() + "/orvo.html?" + parameter + "=" + EscapeForCommandLine(value) + "&v=" + kProgramVersion +
           "&ban=" + kBannerValue;
}

}  // namespace

std::string EscapeForCommandLine(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (NeedsEscape(c)) {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0x0F];
        } else {
            escaped += byte;
        }
    }
    return escaped;
}

std::string LinkDetailPage(const std::string& link) { return DetailPage("url", link); }

std::string SymbolDetailPage(const std::string& label) { return DetailPage("s", label); }

void OpenInBrowser(platform::Shell& shell, const std::string& address) {
    if (address.empty()) return;
    shell.ShellExecute(nullptr, nullptr, address.c_str(), nullptr, nullptr, platform::kSwShowNormal);
}

}  // namespace quotes
