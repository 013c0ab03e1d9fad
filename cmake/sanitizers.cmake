# Instrumented builds. Each goes into a build folder of its own:
#   GNC_SANITIZE=ON      AddressSanitizer (with leak detection) and
#                        UndefinedBehaviorSanitizer for every target; any
#                        undefined behaviour aborts instead of going on.
#                        `./test --sanitize` configures build-sanitize/ so.
#   GNC_FUZZ_BUILD=ON    clang only: the same sanitizers plus libFuzzer's
#                        coverage feedback for every target, so that the fuzz
#                        targets in tests/fuzz/ link with libFuzzer.
#                        scripts/fuzz.sh configures build-fuzz/ so.
option(GNC_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(GNC_FUZZ_BUILD "Build the fuzz targets with libFuzzer (clang)" OFF)

set(gnc_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)

if(GNC_SANITIZE OR GNC_FUZZ_BUILD)
  add_compile_options(${gnc_sanitizer_flags})
  add_link_options(${gnc_sanitizer_flags})
endif()

if(GNC_FUZZ_BUILD)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "GNC_FUZZ_BUILD needs clang++ (CMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
