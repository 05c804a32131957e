# Native build: the platform-free logic and its unit tests, under ASan and UBSan.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra ${SANITIZE})
add_link_options(${SANITIZE})

find_package(Iconv REQUIRED)
add_library(replybar_logic STATIC ${PORTABLE_SOURCES} ${POSIX_SOURCES})
target_include_directories(replybar_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(replybar_logic PUBLIC Iconv::Iconv)

# Under clang the fuzzers are built here too, on the same library: it carries libFuzzer's
# coverage hooks (which the unit tests, linked without libFuzzer, leave to the sanitizer
# runtime's defaults), so no source is compiled twice. The fuzz preset builds them optimised,
# for long runs.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  option(REPLYBAR_NATIVE_FUZZERS "Build the fuzzers beside the unit tests" ON)
endif()
if(REPLYBAR_NATIVE_FUZZERS)
  set(REPLYBAR_FUZZ_SECONDS 8 CACHE STRING "How long each fuzzer runs as a test")
  target_compile_options(replybar_logic PRIVATE -fsanitize=fuzzer-no-link)
  include(cmake/fuzzers.cmake)
  replybar_add_fuzzers(replybar_logic)
endif()

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(unit_tests PRIVATE replybar_logic GTest::gtest GTest::gtest_main GTest::gmock)
# GoogleTest's headers are most of each test file's compile time: parsed once.
target_precompile_headers(unit_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

if(Python3_FOUND)
  add_test(NAME assets_match_sources
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/assets/gen_assets.py --check)
endif()
if(Python3_FOUND)
  add_test(NAME assets_generator COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/assets/test_gen_assets.py)
endif()
# The committed pinyin table against the Unihan readings it was made from, where the machine has
# them (Debian's unicode-data); building never needs them.
if(Python3_FOUND AND (EXISTS /usr/share/unicode/Unihan_Readings.txt.bz2 OR
                      EXISTS /usr/share/unicode/Unihan_Readings.txt))
  add_test(NAME pinyin_table_matches_unihan
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_pinyin.py --check)
endif()
