# The fuzzers alone, optimised, for long runs (scripts/fuzz.sh): clang with libFuzzer, ASan and
# UBSan. The test command runs the same fuzzers from the native tree instead (native.cmake).
set(REPLYBAR_FUZZ_SECONDS 15 CACHE STRING "How long each fuzzer runs as a test")
set(FUZZ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra ${FUZZ_SANITIZE} -fsanitize=fuzzer-no-link)
add_link_options(${FUZZ_SANITIZE})

find_package(Iconv REQUIRED)
add_library(replybar_fuzz_logic STATIC ${PORTABLE_SOURCES} ${POSIX_SOURCES})
target_include_directories(replybar_fuzz_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(replybar_fuzz_logic PUBLIC Iconv::Iconv)

include(cmake/fuzzers.cmake)
replybar_add_fuzzers(replybar_fuzz_logic)
