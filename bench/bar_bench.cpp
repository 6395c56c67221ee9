// Instructions per scroll step and per re-layout of the bar, on a platform
// that does nothing, so only the logic's own work counts. Only the measured
// calls are collected. Run under callgrind by bench/bar_instructions.sh:
//   velmoria_bar_bench scroll|relayout ITEMS CALLS
// runs CALLS scroll steps (or re-layouts) of a bar with ITEMS quoted items.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include "app/message.h"
#include "app/module_record.h"
#include "bench/null_platform.h"
#include "platform/constants.h"
#include "platform/fake/fake_internet.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velmoria_bar_bench scroll|relayout ITEMS CALLS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const bool scroll = std::strcmp(argv[1], "scroll") == 0;
    if (!scroll && std::strcmp(argv[1], "relayout") != 0) return Usage();
    const int items = std::atoi(argv[2]);
    const int calls = std::atoi(argv[3]);
    if (items < 0 || calls < 0) return Usage();

    bench::NullPlatform null;
    platform::fake::FakeInternet internet;
    platform::Platform platform{null, null, null, null, null, internet, null};
    app::InitModule(platform, nullptr);
    ticker::TickerWindow window(platform, nullptr);

    std::string list;
    for (int i = 0; i < items; ++i) list += "SYM" + std::to_string(i) + ", ";
    window.AddItemsFromList(list);
    // Quoted values, so every text has its data part; the default mask.
    int i = 0;
    for (const auto& item : window.itemList) {
        item->last = 100.25 + i;
        item->change = (i % 3) - 1 + 0.5;
        item->prevClose = 99.75;
        ++i;
    }
    const app::Message step{nullptr, platform::kWmTimer, ticker::SCROLL_TIMER, 0};
    platform::ProcResult result = 0;
    // The first drawing builds every text and the first step brings the
    // whole ring in from the right: neither is the steady state.
    window.Relayout();
    window.HandleMessage(step, result, 0);

    CALLGRIND_TOGGLE_COLLECT;
    for (int call = 0; call < calls; ++call) {
        if (scroll) {
            window.HandleMessage(step, result, 0);
        } else {
            window.Relayout();
        }
    }
    CALLGRIND_TOGGLE_COLLECT;
    std::printf("%s: %d items, %d calls, logo at %d\n", argv[1], items, calls, window.logoX);
    return 0;
}
