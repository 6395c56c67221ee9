# The fuzz targets, each built from <name>_fuzzer.cpp with its seeds in corpus/<name>/.
set(VELMORIA_FUZZ_TARGETS body_reader entry_list exchange_list quote_line redirect settings chart_answer finnhub_answer twelvedata_answer)
# Those that feed the service's parsers of the market-data sources.
set(VELMORIA_SERVICE_FUZZ_TARGETS chart_answer finnhub_answer twelvedata_answer)
