// Twelve Data's quote answer through its parser (first byte: the status).
#include "service/sources/twelvedata_source.h"
#include "source_answer_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_support::FuzzSourceAnswer(service::ParseTwelveDataAnswer, data, size);
}
