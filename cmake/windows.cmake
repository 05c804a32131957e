# Windows build: ReplyBar.exe, the Win32 tests and the end-to-end tests (run under Wine when
# cross-compiling, natively on Windows).
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Optimised for size: the bar waits on the user and the system, not on its own code, and the
# exe stays under 750,000 bytes.
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
add_compile_options(-Wall -Wextra)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(WIN_LIBS comctl32 comdlg32 shell32 ole32 oleaut32 uuid gdi32 user32 advapi32 msimg32 wtsapi32 winhttp mpr)

# The system's and the standard library's headers are most of each file's compile time: they
# are parsed once for each half of the library (precompiled headers). The platform-free half
# gets the standard headers only, so that nothing of Win32 reaches it.
set(STD_HEADERS <algorithm> <cstdint> <functional> <memory> <optional> <string> <utility> <vector>)
add_library(replybar_portable OBJECT ${PORTABLE_SOURCES})
target_precompile_headers(replybar_portable PRIVATE ${STD_HEADERS})
add_library(replybar_win32 OBJECT ${WIN32_SOURCES})
target_precompile_headers(replybar_win32 PRIVATE <windows.h> ${STD_HEADERS})
# rand_s is declared only when _CRT_RAND_S comes before the C library's headers.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/team/team_source_win32.cpp
                            PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
add_library(replybar_core STATIC $<TARGET_OBJECTS:replybar_portable>
                                 $<TARGET_OBJECTS:replybar_win32>)
# The search runs over every reply at each keystroke: its two files are optimised for speed
# (and so cannot use the headers precompiled for size).
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/search/pinyin.cpp
                            ${CMAKE_SOURCE_DIR}/src/search/reply_search.cpp
                            PROPERTIES COMPILE_OPTIONS $<$<CONFIG:Release>:-O2>
                                       SKIP_PRECOMPILE_HEADERS ON)
foreach(part replybar_portable replybar_win32 replybar_core)
  target_include_directories(${part} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
endforeach()
target_link_libraries(replybar_core PUBLIC ${WIN_LIBS})

# Release builds leave out what nothing calls and carry no symbols.
add_compile_options($<$<CONFIG:Release>:-ffunction-sections> $<$<CONFIG:Release>:-fdata-sections>)

configure_file(${CMAKE_SOURCE_DIR}/assets/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)
add_executable(ReplyBar WIN32 ${APP_SOURCES} ${CMAKE_SOURCE_DIR}/assets/replybar.rc
                              ${CMAKE_BINARY_DIR}/version.rc)
include(cmake/delayload.cmake)
if(DELAYLOAD_LIBS)
  add_dependencies(ReplyBar delayload_libs)
endif()
# The delay-load libraries come before the plain import libraries that replybar_core brings.
target_link_libraries(ReplyBar PRIVATE replybar_core ${DELAYLOAD_LIBS} $<$<BOOL:${DELAYLOAD_LIBS}>:delayimp>)
# Windows 7 is the oldest system it runs on (the launch folder listing needs it): older ones
# refuse the exe with their own message.
target_link_options(ReplyBar PRIVATE -municode ${STATIC_RUNTIME}
                    -Wl,--major-subsystem-version,6,--minor-subsystem-version,1
                    -Wl,--major-os-version,6,--minor-os-version,1
                    $<$<CONFIG:Release>:-s> $<$<CONFIG:Release>:-Wl,--gc-sections>)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/assets/replybar.rc APPEND PROPERTY
             OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/assets/app.manifest)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_SOURCE_DIR}/assets")

# GoogleTest: Debian's sources when cross-compiling, the installed package on Windows.
if(CMAKE_CROSSCOMPILING AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  add_library(gtest ALIAS GTest::gtest)
  add_library(gmock ALIAS GTest::gmock)
endif()

file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
if(WIN_TESTS)
  add_executable(win_tests ${WIN_TESTS} ${CMAKE_SOURCE_DIR}/tests/win/win_tests.rc)
  target_link_libraries(win_tests PRIVATE replybar_core gtest gmock)
  target_link_options(win_tests PRIVATE -municode ${STATIC_RUNTIME})
  target_compile_definitions(win_tests PRIVATE GTEST_HAS_PTHREAD=1)
  target_precompile_headers(win_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h> <windows.h>
                            ${STD_HEADERS})
endif()

# Small Windows programs the end-to-end tests drive: the user's chat window and a probe that
# reports window facts the X side cannot see.
foreach(tool e2e_chat e2e_probe e2e_logger)
  add_executable(${tool} WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/${tool}.cpp)
  target_link_libraries(${tool} PRIVATE ${WIN_LIBS} version)
  target_link_options(${tool} PRIVATE -municode ${STATIC_RUNTIME})
endforeach()
# Draws the menu presets side by side through the real drawing path.
add_executable(e2e_presets ${CMAKE_SOURCE_DIR}/tests/e2e/e2e_presets.cpp)
target_link_libraries(e2e_presets PRIVATE replybar_core)
target_link_options(e2e_presets PRIVATE -municode ${STATIC_RUNTIME})
# Watches a team library's source and writes what it told; HTTP comes through the delay-load
# library, as in the bar.
add_executable(e2e_team_source ${CMAKE_SOURCE_DIR}/tests/e2e/e2e_team_source.cpp)
if(DELAYLOAD_LIBS)
  add_dependencies(e2e_team_source delayload_libs)
endif()
target_link_libraries(e2e_team_source PRIVATE replybar_core ${DELAYLOAD_LIBS}
                      $<$<BOOL:${DELAYLOAD_LIBS}>:delayimp>)
target_link_options(e2e_team_source PRIVATE -municode ${STATIC_RUNTIME})

if(CMAKE_CROSSCOMPILING)
  include(cmake/wine_tests.cmake)
elseif(TARGET win_tests)
  add_test(NAME win_tests COMMAND win_tests)
endif()

# The start-up benchmark's baselines: a bare topmost tool window, nothing else; given two
# rectangles and a region, the same window opened by the panel's hotkey to a picture drawn
# beforehand, in that region, and shut again.
add_executable(bare_window WIN32 ${CMAKE_SOURCE_DIR}/bench/bare_window.cpp)
target_link_options(bare_window PRIVATE -municode ${STATIC_RUNTIME})

# Benchmarks: each prints its figure as a ratio against a baseline measured in the same run.
file(GLOB BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
foreach(src ${BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE replybar_core)
  target_link_options(${name} PRIVATE -municode ${STATIC_RUNTIME})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine LABELS bench
                         RUN_SERIAL TRUE
                         ENVIRONMENT "REPLYBAR_HARNESS=${CMAKE_BINARY_DIR}/harness" TIMEOUT 300)
  endif()
endforeach()
# A team of 200 bars, their watches in one process against a web server and a folder of its
# own, at the bars' real 60 s check: rest is measured over one whole period, in which each bar's
# beat comes once, then a new version; about two and a half minutes, so scripts/bench.sh runs it
# and the test command does not (label "long").
add_executable(team_watchers ${CMAKE_SOURCE_DIR}/bench/team_watchers.cpp)
if(DELAYLOAD_LIBS)
  add_dependencies(team_watchers delayload_libs)
endif()
target_link_libraries(team_watchers PRIVATE replybar_core ${DELAYLOAD_LIBS}
                      $<$<BOOL:${DELAYLOAD_LIBS}>:delayimp>)
target_link_options(team_watchers PRIVATE -municode ${STATIC_RUNTIME})
if(CMAKE_CROSSCOMPILING)
  add_test(NAME team_watchers_bench
           COMMAND bash ${CMAKE_SOURCE_DIR}/bench/team_watchers.sh ${CMAKE_BINARY_DIR} 200 60)
  set_tests_properties(team_watchers_bench PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine
                       LABELS "bench;long" RUN_SERIAL TRUE
                       ENVIRONMENT "REPLYBAR_HARNESS=${CMAKE_BINARY_DIR}/harness" TIMEOUT 400)
endif()
if(TARGET team_panel_bench)
  add_dependencies(team_panel_bench ReplyBar)
endif()
if(TARGET startup_bench)
  add_dependencies(startup_bench ReplyBar bare_window)
  # Launches the bar and its baseline some fifty times: scripts/bench.sh runs it, the test
  # command does not.
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(startup_bench PROPERTIES LABELS "bench;startup")
  endif()
endif()
