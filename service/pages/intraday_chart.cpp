#include "service/pages/intraday_chart.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <cstdio>

#include "service/pages/html.h"
#include "service/sources/exchange_time.h"
#include "service/sources/live_csv.h"

namespace service {

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 200;
constexpr int kLeft = 60;    // room for the price labels
constexpr int kRight = 470;
constexpr int kTop = 10;
constexpr int kBottom = 172;  // time labels below
constexpr int kMaxTimeLabels = 7;
constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kLabelSteps[] = {15 * kMinute, 30 * kMinute, 60 * kMinute, 120 * kMinute, 240 * kMinute};
constexpr int kSecondsPerHour = 3600;
// Wider than any browser's default font draws a time's character at size 11.
constexpr double kTimeLabelCharWidth = 7;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

struct Scale {
    std::int64_t firstTime;
    std::int64_t lastTime;
    double low;
    double high;

    double X(std::int64_t time) const {
        if (lastTime == firstTime) return kRight;
        return kLeft + static_cast<double>(time - firstTime) * (kRight - kLeft) / static_cast<double>(lastTime - firstTime);
    }
    // A flat series sits in the middle rather than on an edge.
    double Y(double price) const {
        if (high == low) return (kTop + kBottom) / 2.0;
        return kBottom - (price - low) * (kBottom - kTop) / (high - low);
    }
};

std::string Text(double x, double y, const char* anchor, const std::string& text) {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\" font-size=\"11\">" +
           HtmlEscape(text) + "</text>";
}

// "10AM", "12:30PM" at each whole step of local time.
std::string TimeLabels(const Scale& scale, int offset) {
    std::int64_t step = kLabelSteps[std::size(kLabelSteps) - 1];
    for (const std::int64_t candidate : kLabelSteps) {
        if ((scale.lastTime - scale.firstTime) / candidate < kMaxTimeLabels) {
            step = candidate;
            break;
        }
    }
    std::string labels;
    const std::int64_t firstLocal = scale.firstTime + offset;
    std::int64_t local = (firstLocal + step - 1) / step * step;
    for (; local <= scale.lastTime + offset; local += step) {
        const double x = scale.X(local - offset);
        labels += "<line x1=\"" + Number(x) + "\" y1=\"" + std::to_string(kTop) + "\" x2=\"" + Number(x) + "\" y2=\"" +
                  std::to_string(kBottom) + "\" stroke=\"#eeeeee\"/>";
        // A label centred on a line near the right edge would be cut there:
        // it ends at its line instead.
        const std::string text = ClockText(local - offset, offset);
        const bool pastTheEdge = x + static_cast<double>(text.size()) * kTimeLabelCharWidth / 2 > kWidth;
        labels += Text(x, kBottom + 16, pastTheEdge ? "end" : "middle", text);
    }
    return labels;
}

}  // namespace

std::string TimeZoneText(const LiveQuote& quote) {
    if (!quote.utcOffsetSeconds) return quote.timeZoneName;
    const int offset = *quote.utcOffsetSeconds;
    const int minutes = std::abs(offset) / 60 % 60;
    char text[32];
    if (minutes == 0) {
        std::snprintf(text, sizeof text, "UTC%+d", offset / kSecondsPerHour);
    } else {
        std::snprintf(text, sizeof text, "UTC%s%d:%02d", offset < 0 ? "-" : "+", std::abs(offset) / kSecondsPerHour,
                      minutes);
    }
    if (offset == 0) std::snprintf(text, sizeof text, "UTC");
    return quote.timeZoneName.empty() ? text : quote.timeZoneName + " (" + text + ")";
}

std::string IntradayChartSvg(const LiveQuote& quote) {
    const std::vector<PricePoint>& points = quote.series;
    if (points.size() < 2) return "";
    const auto [lowIt, highIt] = std::minmax_element(
        points.begin(), points.end(), [](const PricePoint& a, const PricePoint& b) { return a.price < b.price; });
    const Scale scale{points.front().time, points.back().time, lowIt->price, highIt->price};
    const int offset = quote.utcOffsetSeconds.value_or(0);

    std::string line;
    for (const PricePoint& point : points) {
        if (!line.empty()) line += ' ';
        line += Number(scale.X(point.time)) + "," + Number(scale.Y(point.price));
    }
    std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(kWidth) + " " + std::to_string(kHeight) +
                      "\" role=\"img\" aria-label=\"Prices today\">";
    svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(kTop) + "\" width=\"" +
           std::to_string(kRight - kLeft) + "\" height=\"" + std::to_string(kBottom - kTop) +
           "\" fill=\"#ffffff\" stroke=\"#cccccc\"/>";
    svg += TimeLabels(scale, offset);
    svg += Text(kLeft - 6, scale.Y(scale.high) + 4, "end", LivePriceText(scale.high));
    if (scale.high != scale.low) svg += Text(kLeft - 6, scale.Y(scale.low) + 4, "end", LivePriceText(scale.low));
    const char* colour = points.back().price >= points.front().price ? "#006600" : "#dd0000";
    svg += "<polyline class=\"prices\" fill=\"none\" stroke=\"" + std::string(colour) +
           "\" stroke-width=\"2\" points=\"" + line + "\"/>";
    svg += "</svg>";
    return svg;
}

}  // namespace service
