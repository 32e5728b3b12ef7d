# Cross build: the program, its German language module, and the Windows-side tests.
enable_language(RC)
# The oldest Windows the program runs on is 98 SE (4.10, Internet Explorer 5.0):
# declarations newer than that stay hidden where the headers gate them. The NT
# value is 4.0 so that nothing of Windows 2000 is reached by accident either.
# (mingw-w64 gates few declarations; cmake/imports.txt is the real guard.)
add_compile_definitions(STRICT NOMINMAX WINVER=0x0410 _WIN32_WINDOWS=0x0410 _WIN32_WINNT=0x0400
  _WIN32_IE=0x0500)
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

# SENTEL_PROGRAM_FROM names the bin folder of another build whose sentel.exe and
# sentel1031.dll the tests here run instead of building their own: the tests are
# built with the posix thread model, the program that ships with win32.
set(SENTEL_PROGRAM_FROM "" CACHE PATH "Folder of the built program and module the tests run")
option(SENTEL_TESTS "Build the Windows-side and end-to-end tests" ON)

if(SENTEL_PROGRAM_FROM)
  set(_program_files ${PROJECT_BINARY_DIR}/bin/sentel.exe ${PROJECT_BINARY_DIR}/bin/sentel1031.dll)
  add_custom_command(OUTPUT ${_program_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/bin
    COMMAND ${CMAKE_COMMAND} -E copy ${SENTEL_PROGRAM_FROM}/sentel.exe
      ${SENTEL_PROGRAM_FROM}/sentel1031.dll ${PROJECT_BINARY_DIR}/bin/
    DEPENDS ${SENTEL_PROGRAM_FROM}/sentel.exe ${SENTEL_PROGRAM_FROM}/sentel1031.dll
    COMMENT "Taking sentel.exe and sentel1031.dll from ${SENTEL_PROGRAM_FROM}")
  add_custom_target(sentel_program ALL DEPENDS ${_program_files})
else()
  add_executable(sentel WIN32 app/WinMain.cpp res/sentel.rc)
  target_link_libraries(sentel PRIVATE sentel_win)
  # What ships carries no symbols.
  target_link_options(sentel PRIVATE -s)
  if(SENTEL_ARCH STREQUAL "i686" AND SENTEL_THREADS STREQUAL "win32")
    # The runtime's locks (libgcc) create their semaphores with CreateSemaphoreW,
    # always unnamed; on Windows 98 and Me that is a stub that fails. The ANSI
    # function takes the same arguments and works everywhere.
    target_link_options(sentel PRIVATE
      "LINKER:--defsym=\"__imp__CreateSemaphoreW@16\"=\"__imp__CreateSemaphoreA@16\"")
  endif()

  # A resource-only module: no code, no entry point, no runtime.
  add_library(sentel1031 SHARED res/sentel1031.rc)
  set_target_properties(sentel1031 PROPERTIES PREFIX "" LINKER_LANGUAGE C)
  target_link_options(sentel1031 PRIVATE -nostdlib -Wl,--entry=0 -s)
  set_target_properties(sentel1031 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  add_custom_target(sentel_program DEPENDS sentel sentel1031)

  # What ships may import only what Windows 98 SE and every later Windows export
  # (cmake/imports.txt). A program that ships joins SENTEL_SHIPPED_PROGRAMS
  # (and a console one SENTEL_SHIPPED_CONSOLE_PROGRAMS too) anywhere in this
  # directory: the check is registered at its end.
  if(SENTEL_ARCH STREQUAL "i686")
    set(SENTEL_SHIPPED_PROGRAMS $<TARGET_FILE:sentel>)
    set(SENTEL_SHIPPED_CONSOLE_PROGRAMS "")
    set(SENTEL_SHIPPED_MODULES $<TARGET_FILE:sentel1031>)
    function(sentel_add_shipped_check)
      add_test(NAME Shipped.ProgramAndModuleNeedOnlyWindows
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${SENTEL_ARCH}-w64-mingw32-objdump
          "-DPROGRAMS=$<JOIN:${SENTEL_SHIPPED_PROGRAMS},|>" -DGUI_PROGRAMS=$<TARGET_FILE:sentel>
          "-DCONSOLE_PROGRAMS=$<JOIN:${SENTEL_SHIPPED_CONSOLE_PROGRAMS},|>"
          "-DCONSOLE_DLLS=KERNEL32.DLL|MSVCRT.DLL"
          "-DMODULES=$<JOIN:${SENTEL_SHIPPED_MODULES},|>"
          -DTABLE=${PROJECT_SOURCE_DIR}/cmake/imports.txt -DFLOOR=98SE
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckShipped.cmake)
      set_tests_properties(Shipped.ProgramAndModuleNeedOnlyWindows PROPERTIES LABELS shipped)
    endfunction()
    cmake_language(DEFER CALL sentel_add_shipped_check)
  endif()
endif()

if(NOT SENTEL_TESTS)
  return()
endif()

# The Wine tests run where Wine can run this build; scripts/build registers them
# in the one test build it makes for this machine.
option(SENTEL_RUN_WINE_TESTS "Register the tests that run under Wine" ON)

# Windows-side tests: the platform's real behaviour, run under Wine by CTest.
file(GLOB win_test_sources CONFIGURE_DEPENDS tests/win/*.cpp)
add_executable(sentel_win_tests ${win_test_sources} res/sentel.rc)
target_link_libraries(sentel_win_tests PRIVATE sentel_win GTest::gtest version)
add_dependencies(sentel_win_tests sentel_program)
if(SENTEL_RUN_WINE_TESTS)
  gtest_discover_tests(sentel_win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120 LABELS win)
endif()

# End-to-end tests: a driver starts the real sentel.exe and works it from outside.
file(GLOB e2e_sources CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(sentel_e2e ${e2e_sources})
target_link_libraries(sentel_e2e PRIVATE sentel_portable GTest::gtest_main
  user32 advapi32 kernel32)
add_dependencies(sentel_e2e sentel_program)
if(SENTEL_RUN_WINE_TESTS)
  gtest_discover_tests(sentel_e2e DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300 LABELS e2e RUN_SERIAL TRUE)
endif()

# Broken language modules for the tests: one lacks its strings, one its main
# dialog, one carries format texts that do not match the program's.
foreach(module nostrings nodialog badtexts nocontrol)
  add_library(sentel_test_${module} SHARED tests/modules/${module}.rc)
  # They include the program's script, which the resource compiler's dependency
  # scan does not follow.
  set_source_files_properties(tests/modules/${module}.rc PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/res/sentel.rc;${PROJECT_SOURCE_DIR}/res/resource.h")
  set_target_properties(sentel_test_${module} PROPERTIES PREFIX "" LINKER_LANGUAGE C)
  target_link_options(sentel_test_${module} PRIVATE -nostdlib -Wl,--entry=0)
  add_dependencies(sentel_win_tests sentel_test_${module})
  add_dependencies(sentel_e2e sentel_test_${module})
endforeach()

# The Thermal monitor's counters against a stand-in pdh.dll serving scripted
# values: the test installs it in the prefix's system folder, and only its own
# process is told to load that file instead of Wine's PDH, which has none of
# these counters.
add_library(sentel_test_pdh SHARED tests/modules/PdhDouble.cpp)
set_target_properties(sentel_test_pdh PROPERTIES PREFIX "" OUTPUT_NAME pdh_double)
target_link_options(sentel_test_pdh PRIVATE -Wl,--kill-at)
add_executable(sentel_pdh_tests tests/pdh/PdhCountersTest.cpp)
target_link_libraries(sentel_pdh_tests PRIVATE sentel_win GTest::gtest_main)
add_dependencies(sentel_pdh_tests sentel_test_pdh)
if(SENTEL_RUN_WINE_TESTS)
  gtest_discover_tests(sentel_pdh_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120 LABELS win RUN_SERIAL TRUE ENVIRONMENT "WINEDLLOVERRIDES=pdh=n")
endif()

# The soak run (bench/soak): not a test, a long run reported as figures.
add_executable(sentel_soak bench/SoakRun.cpp tests/e2e/Driver.cpp)
target_link_libraries(sentel_soak PRIVATE user32 advapi32 kernel32 psapi)
add_dependencies(sentel_soak sentel_program)

# Holds the Wine session's desktop open between tests (scripts/test starts it).
add_executable(sentel_desktop_keeper WIN32 tests/support/DesktopKeeper.cpp)

# Works the short demonstration run of scripts/run.
add_executable(sentel_demo_driver tests/support/DemoDriver.cpp tests/e2e/Driver.cpp)
target_link_libraries(sentel_demo_driver PRIVATE user32 advapi32 kernel32 psapi)

# The German module with an entry point that leaves a mark: the program must
# load a language module as data and never run its code.
add_library(sentel_test_marking SHARED tests/modules/MarkingModule.c res/sentel1031.rc)
set_target_properties(sentel_test_marking PROPERTIES PREFIX "")
add_dependencies(sentel_e2e sentel_test_marking)
