# Fuzzers of the text the program reads (clang with libFuzzer, ASan and UBSan): each runs for
# REPLYBAR_FUZZ_SECONDS as a test, from its committed seed corpus, and stops on any crash,
# sanitizer report or leak.
set(REPLYBAR_FUZZ_SECONDS 15 CACHE STRING "How long each fuzzer runs as a test")
set(FUZZ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra ${FUZZ_SANITIZE} -fsanitize=fuzzer-no-link)
add_link_options(${FUZZ_SANITIZE})

find_package(Iconv REQUIRED)
add_library(replybar_fuzz_logic STATIC ${PORTABLE_SOURCES} ${POSIX_SOURCES})
target_include_directories(replybar_fuzz_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(replybar_fuzz_logic PUBLIC Iconv::Iconv)

file(GLOB FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(src ${FUZZERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE replybar_fuzz_logic)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # New inputs go to the build folder; the committed seeds are only read.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus/${name})
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${REPLYBAR_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
                   -print_final_stats=1 ${CMAKE_BINARY_DIR}/corpus/${name}
                   ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endforeach()
