// Redirect chains of the input's making through the fake WinINet: each hop
// answers with a status and a Location the input chooses, which may be
// relative, absolute, of another scheme, empty or garbage. Whatever they
// are, the download ends after at most eleven requests, closes every
// handle, and yields the body, nothing or the error text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/fake/fake_internet.h"
#include "quotes/http_get_text.h"
#include "quotes/redirect.h"

namespace {

constexpr int kMostHops = quotes::kMostRedirects + 2;
constexpr std::size_t kLongestText = 128;
constexpr std::uint32_t kStatuses[] = {200, 300, 301, 302, 303, 304, 307, 308, 404};
const std::string kBody = "\"IBM\",123.5\r\n";
const std::string kText = "\"IBM\",123.5\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    platform::fake::FakeInternet internet;
    const std::string start = "http://fuzz.invalid:8642/" + input.ConsumeRandomLengthString(kLongestText);
    std::string address = start;
    for (int hop = 0; hop < kMostHops && input.remaining_bytes() > 0; ++hop) {
        const std::optional<platform::UrlParts> parts = platform::fake::FakeInternet::Split(address);
        if (!parts) break;
        const std::uint32_t status = input.PickValueInArray(kStatuses);
        const std::string location = input.ConsumeRandomLengthString(kLongestText);
        internet.Redirect(address, status, location);
        address = quotes::ResolveRedirect(parts->host, parts->port, parts->urlPath + parts->extraInfo, location);
    }
    internet.Serve(address, kBody);

    const std::string text = quotes::HttpGetText(internet, start);
    if (text != kText && text != quotes::kDownloadErrorText && !text.empty()) std::abort();
    if (internet.CallsNamed("HttpSendRequest").size() > static_cast<std::size_t>(quotes::kMostRedirects + 1)) {
        std::abort();
    }
    if (!internet.OpenHandleNames().empty()) std::abort();
    return 0;
}
