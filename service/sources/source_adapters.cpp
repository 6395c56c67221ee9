#include "service/sources/source_adapters.h"

#include "service/sources/chart_source.h"
#include "service/sources/finnhub_source.h"
#include "service/sources/twelvedata_source.h"

namespace service {

namespace {

// The chart API publishes no limit: ask no more than a browser page would.
constexpr int kChartPerMinute = 30;
constexpr int kChartPerDay = 5000;
constexpr int kFinnhubPerMinute = 60;
constexpr int kTwelveDataPerMinute = 8;
constexpr int kTwelveDataPerDay = 800;
constexpr int kNoLimit = 0;

const SourceAdapter kAdapters[] = {
    {"chart", "https://query1.finance.yahoo.com", nullptr, kChartPerMinute, kChartPerDay, ChartRequest,
     ParseChartAnswer, ChartSymbolForm},
    {"finnhub", "https://finnhub.io", "VELMORIA_FINNHUB_KEY", kFinnhubPerMinute, kNoLimit, FinnhubRequest,
     ParseFinnhubAnswer, FinnhubSymbolForm},
    {"twelvedata", "https://api.twelvedata.com", "VELMORIA_TWELVEDATA_KEY", kTwelveDataPerMinute, kTwelveDataPerDay,
     TwelveDataRequest, ParseTwelveDataAnswer, TwelveDataSymbolForm},
};

}  // namespace

const SourceAdapter* FindSourceAdapter(const std::string& name) {
    for (const SourceAdapter& adapter : kAdapters) {
        if (name == adapter.name) return &adapter;
    }
    return nullptr;
}

std::vector<std::string> SourceAdapterNames() {
    std::vector<std::string> names;
    for (const SourceAdapter& adapter : kAdapters) names.emplace_back(adapter.name);
    return names;
}

}  // namespace service
