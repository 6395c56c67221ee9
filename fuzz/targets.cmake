# The fuzz targets, each built from <name>_fuzzer.cpp with its seeds in corpus/<name>/.
set(VELMORIA_FUZZ_TARGETS body_reader entry_list exchange_list quote_line redirect settings)
