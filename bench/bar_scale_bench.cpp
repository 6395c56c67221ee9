// The bar's own work with long symbol lists, on a platform that does
// nothing, so only the logic counts: a scroll step in the steady state, the
// first step after a rebuild (every item wraps in), a rebuild, and a whole
// quote pass as the bar's thread sees it (the quotes taken at the scroll
// steps they arrive in, with one re-layout each).
//   velmoria_bar_scale_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/message.h"
#include "app/module_record.h"
#include "bench/null_platform.h"
#include "platform/constants.h"
#include "platform/fake/fake_internet.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace {

// Quotes a pass hands over within one 40 ms step: a quote takes a local
// service one to two milliseconds.
constexpr int kQuotesPerStep = 25;

class Bar {
public:
    explicit Bar(int items) {
        app::InitModule(platform_, nullptr);
        window_ = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
        for (int i = 0; i < items; ++i) window_->symbols += "SYM" + std::to_string(i) + ", ";
        window_->RebuildItems();
        int i = 0;
        for (const auto& item : window_->itemList) Quote(*item, i++);
        window_->Relayout();
        Step();  // the first step brings the whole ring in from the right
    }

    static void Quote(quotes::QuoteFields& values, int i) {
        values.last = 100.25 + i % 500;
        values.change = (i % 3) - 1 + 0.5;
        values.prevClose = 99.75;
    }
    void Step() {
        platform::ProcResult result = 0;
        window_->HandleMessage(kStep, result, 0);
    }
    ticker::TickerWindow& window() { return *window_; }

private:
    static constexpr app::Message kStep{nullptr, platform::kWmTimer, ticker::SCROLL_TIMER, 0};
    bench::NullPlatform null_;
    platform::fake::FakeInternet internet_;
    platform::Platform platform_{null_, null_, null_, null_, null_, internet_, null_};
    std::unique_ptr<ticker::TickerWindow> window_;
};

void ScrollStep(benchmark::State& state) {
    Bar bar(static_cast<int>(state.range(0)));
    bar.window().speed = 2;
    for (auto _ : state) bar.Step();
}

void FirstStepAfterRebuild(benchmark::State& state) {
    Bar bar(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        bar.window().logoX = ticker::kOffBarStart;
        for (const auto& item : bar.window().itemList) item->x = quotes::kItemStartX;
        state.ResumeTiming();
        bar.Step();
    }
}

void Rebuild(benchmark::State& state) {
    Bar bar(static_cast<int>(state.range(0)));
    for (auto _ : state) bar.window().RebuildItems();
}

void PassOnTheBarsThread(benchmark::State& state) {
    Bar bar(static_cast<int>(state.range(0)));
    ticker::TickerWindow& window = bar.window();
    for (auto _ : state) {
        std::size_t index = 0;
        while (index < window.itemList.size()) {
            state.PauseTiming();
            for (int i = 0; i < kQuotesPerStep && index < window.itemList.size(); ++i, ++index) {
                auto quote = std::make_unique<ticker::Handover>(ticker::Handover::Kind::Quote);
                quote->generation = window.itemsGeneration();
                quote->index = index;
                quote->values = *window.itemList[index];
                Bar::Quote(quote->values, static_cast<int>(index) + 7);
                window.link().inbox.Push(std::move(quote));
            }
            state.ResumeTiming();
            bar.Step();
        }
    }
}

void Lengths(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(ScrollStep)->Apply(Lengths);
BENCHMARK(FirstStepAfterRebuild)->Apply(Lengths);
BENCHMARK(Rebuild)->Apply(Lengths);
BENCHMARK(PassOnTheBarsThread)->Apply(Lengths)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
