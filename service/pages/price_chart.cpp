#include "service/pages/price_chart.h"

#include <algorithm>

#include "service/simulated/quote_csv.h"

namespace service {

namespace {

constexpr int kLabelWidth = 64;  // room for the price labels on the left
constexpr int kMargin = 10;

int PlotLeft() { return kLabelWidth; }
int PlotRight() { return kChartWidth - kMargin; }
int PlotTop() { return kMargin; }
int PlotBottom() { return kChartHeight - kMargin; }

int XFor(std::size_t index, std::size_t count) {
    if (count < 2) return PlotRight();
    return PlotLeft() + static_cast<int>(index * static_cast<std::size_t>(PlotRight() - PlotLeft()) / (count - 1));
}

// A flat series sits in the middle rather than on an edge.
int YFor(std::int64_t cents, std::int64_t low, std::int64_t high) {
    if (high == low) return (PlotTop() + PlotBottom()) / 2;
    return PlotBottom() - static_cast<int>((cents - low) * (PlotBottom() - PlotTop()) / (high - low));
}

std::string Label(int y, std::int64_t cents) {
    return "<text x=\"" + std::to_string(kLabelWidth - 6) + "\" y=\"" + std::to_string(y + 4) +
           "\" text-anchor=\"end\" font-size=\"11\">" + PriceText(cents) + "</text>";
}

}  // namespace

std::string PriceChartSvg(const std::vector<std::int64_t>& cents) {
    if (cents.empty()) return "";
    const auto [lowIt, highIt] = std::minmax_element(cents.begin(), cents.end());
    const std::int64_t low = *lowIt;
    const std::int64_t high = *highIt;

    std::string points;
    for (std::size_t i = 0; i < cents.size(); ++i) {
        if (!points.empty()) points += ' ';
        points += std::to_string(XFor(i, cents.size())) + "," + std::to_string(YFor(cents[i], low, high));
    }
    const std::string last = std::to_string(XFor(cents.size() - 1, cents.size())) + "\" cy=\"" +
                             std::to_string(YFor(cents.back(), low, high));

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kChartWidth) +
                      "\" height=\"" + std::to_string(kChartHeight) + "\" role=\"img\" aria-label=\"Recent prices\">";
    svg += "<rect x=\"" + std::to_string(PlotLeft()) + "\" y=\"" + std::to_string(PlotTop()) + "\" width=\"" +
           std::to_string(PlotRight() - PlotLeft()) + "\" height=\"" + std::to_string(PlotBottom() - PlotTop()) +
           "\" fill=\"#ffffff\" stroke=\"#cccccc\"/>";
    svg += Label(YFor(high, low, high), high);
    if (high != low) svg += Label(YFor(low, low, high), low);
    svg += "<polyline fill=\"none\" stroke=\"#006600\" stroke-width=\"2\" points=\"" + points + "\"/>";
    svg += "<circle cx=\"" + last + "\" r=\"3\" fill=\"#006600\"/>";
    svg += "</svg>";
    return svg;
}

}  // namespace service
