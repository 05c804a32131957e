# The fuzzers of the text the program reads (libFuzzer, with the sanitizers of the tree that
# includes this file): each runs for REPLYBAR_FUZZ_SECONDS as a test, from its committed seed
# corpus, and stops on any crash, sanitizer report or leak.
#   replybar_add_fuzzers(LOGIC): one fuzzer per tests/fuzz/*_fuzz.cpp, linked with the library
#   LOGIC, which must be compiled with -fsanitize=fuzzer-no-link.
function(replybar_add_fuzzers logic)
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  foreach(src ${fuzzers})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
    target_link_libraries(${name} PRIVATE ${logic})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    # New inputs go to the build folder; the committed seeds are only read.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus/${name})
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${REPLYBAR_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
                     -print_final_stats=1 ${CMAKE_BINARY_DIR}/corpus/${name}
                     ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
  endforeach()
endfunction()
