#include "app/single_instance.h"

#include <cstring>
#include <vector>

#include "ticker/ticker_window.h"

namespace app {

namespace {

struct Search {
    platform::WindowManager* windows;
    bool found;
};

std::int32_t VELMORIA_CALLBACK CheckWindow(platform::WindowHandle window, platform::LongParam param) {
    auto& search = *reinterpret_cast<Search*>(param);
    const std::size_t markerLength = std::strlen(ticker::kTickerTitle);
    const int length = search.windows->GetWindowTextLength(window);
    if (length < 0 || static_cast<std::size_t>(length) != markerLength) return 1;

    std::vector<char> title(static_cast<std::size_t>(length) + 2, '\0');
    search.windows->GetWindowText(window, title.data(), length + 1);
    if (std::memcmp(title.data(), ticker::kTickerTitle, markerLength + 1) != 0) return 1;
    search.found = true;
    return 0;
}

}  // namespace

bool TickerAlreadyRunning(platform::WindowManager& windows) {
    Search search{&windows, false};
    const std::int32_t enumerated = windows.EnumWindows(&CheckWindow, reinterpret_cast<platform::LongParam>(&search));
    return enumerated != 1 || search.found;
}

}  // namespace app
