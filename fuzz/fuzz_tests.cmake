# Included by the native build: the fuzz targets (this folder, a project of
# its own) as a clang sub-build, and one ctest entry per target that runs it
# briefly over its seed corpus. Without clang's libFuzzer the entries are
# still there and report themselves skipped.
option(VELMORIA_FUZZ "Build the libFuzzer targets with clang and run each briefly in ctest" ON)
set(VELMORIA_FUZZ_SECONDS 10 CACHE STRING "How long ctest runs each fuzz target")
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
set(VELMORIA_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
set(VELMORIA_FUZZ_SKIPPED_EXIT 77)

set(velmoria_fuzz_ready FALSE)
if(VELMORIA_FUZZ)
  find_program(VELMORIA_CLANG_C NAMES clang-14 clang)
  find_program(VELMORIA_CLANG_CXX NAMES clang++-14 clang++)
  if(VELMORIA_CLANG_C AND VELMORIA_CLANG_CXX)
    # clang may come without compiler-rt, which holds libFuzzer: link a probe.
    set(probe_dir ${CMAKE_BINARY_DIR}/fuzz-probe)
    file(WRITE ${probe_dir}/probe.cpp
         "#include <cstddef>\n#include <cstdint>\n"
         "extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
    execute_process(
      COMMAND ${VELMORIA_CLANG_CXX} -fsanitize=fuzzer,address,undefined ${probe_dir}/probe.cpp -o ${probe_dir}/probe
      RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
    if(probe_result EQUAL 0)
      set(velmoria_fuzz_ready TRUE)
    endif()
  endif()
  if(NOT velmoria_fuzz_ready)
    message(WARNING "clang with libFuzzer not found: the fuzz tests will report themselves skipped")
  endif()
endif()

if(velmoria_fuzz_ready)
  include(ExternalProject)
  ExternalProject_Add(velmoria_fuzz
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
    BINARY_DIR ${VELMORIA_FUZZ_DIR}
    CMAKE_ARGS -DCMAKE_C_COMPILER=${VELMORIA_CLANG_C} -DCMAKE_CXX_COMPILER=${VELMORIA_CLANG_CXX}
    BUILD_ALWAYS TRUE
    INSTALL_COMMAND "")
endif()

foreach(target IN LISTS VELMORIA_FUZZ_TARGETS)
  if(velmoria_fuzz_ready)
    set(fuzzer ${VELMORIA_FUZZ_DIR}/${target}_fuzzer)
  else()
    set(fuzzer ${VELMORIA_FUZZ_DIR}/not-built/${target}_fuzzer)
  endif()
  add_test(NAME fuzz_${target}
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.sh ${fuzzer} ${CMAKE_CURRENT_LIST_DIR}/corpus/${target}
            ${CMAKE_BINARY_DIR}/fuzz-work/${target} ${VELMORIA_FUZZ_SECONDS})
  set_tests_properties(fuzz_${target} PROPERTIES SKIP_RETURN_CODE ${VELMORIA_FUZZ_SKIPPED_EXIT} TIMEOUT 300 LABELS fuzz)
endforeach()
