// the chart API's answer through its parser (first byte: the status).
#include "service/sources/chart_source.h"
#include "source_answer_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_support::FuzzSourceAnswer(service::ParseChartAnswer, data, size);
}
