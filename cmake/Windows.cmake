# Cross build: the program, its German language module, and the Windows-side tests.
enable_language(RC)
add_compile_definitions(STRICT NOMINMAX WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
# No mingw runtime DLL may be needed beside the program (or the tests under Wine).
add_link_options(-static)

# The 24-character asctime form of the build time, written into every log file header.
string(TIMESTAMP _weekday "%a")
string(TIMESTAMP _month "%b")
string(TIMESTAMP _day "%d")
string(TIMESTAMP _clock "%H:%M:%S")
string(TIMESTAMP _year "%Y")
string(REGEX REPLACE "^0" " " _day "${_day}")
set(SENTEL_BUILD_STAMP "${_weekday} ${_month} ${_day} ${_clock} ${_year}")
configure_file(cmake/BuildStamp.h.in ${PROJECT_BINARY_DIR}/generated/BuildStamp.h @ONLY)

if(SENTEL_ARCH STREQUAL "x86_64")
  set(SENTEL_MANIFEST_ARCH "amd64")
else()
  set(SENTEL_MANIFEST_ARCH "X86")
endif()
configure_file(res/sentel.manifest.in ${PROJECT_BINARY_DIR}/generated/sentel.manifest @ONLY)

file(GLOB win_sources CONFIGURE_DEPENDS app/*.cpp measure/*.cpp monitor/*.cpp)
list(REMOVE_ITEM win_sources ${PROJECT_SOURCE_DIR}/app/WinMain.cpp)
add_library(sentel_win STATIC ${win_sources})
target_link_libraries(sentel_win PUBLIC sentel_portable
  comctl32 comdlg32 shell32 winmm advapi32 user32 gdi32 kernel32)

add_executable(sentel WIN32 app/WinMain.cpp res/sentel.rc)
target_link_libraries(sentel PRIVATE sentel_win)
# What ships carries no symbols.
target_link_options(sentel PRIVATE -s)

# A resource-only module: no code, no entry point, no runtime.
add_library(sentel1031 SHARED res/sentel1031.rc)
set_target_properties(sentel1031 PROPERTIES PREFIX "" LINKER_LANGUAGE C)
target_link_options(sentel1031 PRIVATE -nostdlib -Wl,--entry=0 -s)
set_target_properties(sentel1031 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# The Wine tests run where Wine can run this build: the x86-64 one by default.
if(SENTEL_ARCH STREQUAL "x86_64")
  set(_run_wine_tests ON)
else()
  set(_run_wine_tests OFF)
endif()
option(SENTEL_RUN_WINE_TESTS "Register the tests that run under Wine" ${_run_wine_tests})

add_test(NAME Shipped.ProgramAndModuleNeedOnlyWindows
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${SENTEL_ARCH}-w64-mingw32-objdump
    -DPROGRAM=$<TARGET_FILE:sentel> -DMODULE=$<TARGET_FILE:sentel1031>
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckShipped.cmake)
set_tests_properties(Shipped.ProgramAndModuleNeedOnlyWindows PROPERTIES LABELS shipped)
if(NOT SENTEL_ARCH STREQUAL "i686")
  set_tests_properties(Shipped.ProgramAndModuleNeedOnlyWindows PROPERTIES DISABLED TRUE)
endif()

# Windows-side tests: the platform's real behaviour, run under Wine by CTest.
file(GLOB win_test_sources CONFIGURE_DEPENDS tests/win/*.cpp)
add_executable(sentel_win_tests ${win_test_sources} res/sentel.rc)
target_link_libraries(sentel_win_tests PRIVATE sentel_win GTest::gtest version)
add_dependencies(sentel_win_tests sentel sentel1031)
if(SENTEL_RUN_WINE_TESTS)
  gtest_discover_tests(sentel_win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120 LABELS win)
endif()

# End-to-end tests: a driver starts the real sentel.exe and works it from outside.
file(GLOB e2e_sources CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(sentel_e2e ${e2e_sources})
target_link_libraries(sentel_e2e PRIVATE sentel_portable GTest::gtest_main
  user32 advapi32 kernel32)
add_dependencies(sentel_e2e sentel sentel1031)
if(SENTEL_RUN_WINE_TESTS)
  gtest_discover_tests(sentel_e2e DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300 LABELS e2e RUN_SERIAL TRUE)
endif()

# Broken language modules for the tests: one lacks its strings, one its main
# dialog, one carries format texts that do not match the program's.
foreach(module nostrings nodialog badtexts nocontrol)
  add_library(sentel_test_${module} SHARED tests/modules/${module}.rc)
  set_target_properties(sentel_test_${module} PROPERTIES PREFIX "" LINKER_LANGUAGE C)
  target_link_options(sentel_test_${module} PRIVATE -nostdlib -Wl,--entry=0)
  add_dependencies(sentel_win_tests sentel_test_${module})
  add_dependencies(sentel_e2e sentel_test_${module})
endforeach()

# The soak run (bench/soak): not a test, a long run reported as figures.
add_executable(sentel_soak bench/SoakRun.cpp tests/e2e/Driver.cpp)
target_link_libraries(sentel_soak PRIVATE user32 advapi32 kernel32 psapi)
add_dependencies(sentel_soak sentel)

# Holds the Wine session's desktop open between tests (scripts/test starts it).
add_executable(sentel_desktop_keeper WIN32 tests/support/DesktopKeeper.cpp)
