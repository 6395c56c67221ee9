#pragma once
// A small line chart of recent prices, drawn as inline SVG.
#include <cstdint>
#include <string>
#include <vector>

namespace service {

constexpr int kChartWidth = 480;
constexpr int kChartHeight = 160;

// Oldest price first. Empty markup when there is no price at all.
std::string PriceChartSvg(const std::vector<std::int64_t>& cents);

}  // namespace service
