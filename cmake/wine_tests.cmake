# Tests that run under Wine (Linux only). The harness fixture makes a template prefix once per
# run, and a display and a prefix copy for the Win32 tests and the benchmarks, which take turns
# on them. Each end-to-end script copies the template for a display and prefix of its own, so
# the scripts run beside each other and beside the Win32 tests (ctest -j2); the benchmarks run
# alone, with nothing else taking the machine.
set(HARNESS_DIR ${CMAKE_BINARY_DIR}/harness)
add_test(NAME harness_setup COMMAND ${CMAKE_SOURCE_DIR}/tests/harness/harness.sh setup ${HARNESS_DIR})
add_test(NAME harness_teardown COMMAND ${CMAKE_SOURCE_DIR}/tests/harness/harness.sh teardown ${HARNESS_DIR})
set_tests_properties(harness_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
set_tests_properties(harness_teardown PROPERTIES FIXTURES_CLEANUP wine)

set(WINE_TEST_ENV REPLYBAR_HARNESS=${HARNESS_DIR} REPLYBAR_BIN=${CMAKE_BINARY_DIR}
    REPLYBAR_SOURCE=${CMAKE_SOURCE_DIR})
if(TARGET win_tests)
  add_test(NAME win_tests COMMAND win_tests)
  set_tests_properties(win_tests PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine
                       ENVIRONMENT "${WINE_TEST_ENV}" TIMEOUT 300)
endif()

file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.sh)
foreach(script ${E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e_${name} COMMAND bash ${script})
  set_tests_properties(e2e_${name} PROPERTIES FIXTURES_REQUIRED wine
                       ENVIRONMENT "${WINE_TEST_ENV}" TIMEOUT 300)
endforeach()
# The longest scripts start first, longest first (a fresh build folder has no timings of its
# own), so that the last minutes are not one long script running alone. The costs are their
# seconds on a quiet machine, roughly.
foreach(entry team_source:110 team_library:105 faults:85 reply_editor:72 display_scale:63
              settings:55 pick_soundness:38 bar_placement:33)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 name)
  list(GET entry 1 cost)
  if(TEST e2e_test_${name})
    set_tests_properties(e2e_test_${name} PROPERTIES COST ${cost})
  endif()
endforeach()
