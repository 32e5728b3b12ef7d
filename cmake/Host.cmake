# Native build: the portable code and its unit tests.
file(GLOB unit_test_sources CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(sentel_unit_tests ${unit_test_sources})
target_link_libraries(sentel_unit_tests PRIVATE sentel_portable GTest::gtest_main)
gtest_discover_tests(sentel_unit_tests DISCOVERY_TIMEOUT 30)

# scripts/setup against stand-ins for apt: a package mirror caught mid-sync.
add_test(NAME Setup.SurvivesMirrorMidSync
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/setup-test.sh)

# Some unit tests read what ships: the icon file, and the program and language
# module of the 32-bit build beside this one (scripts/build makes it first).
set(SENTEL_SHIPPED_BIN "${PROJECT_BINARY_DIR}/../win32/bin" CACHE PATH
  "The bin folder of the shipped 32-bit build, read by the unit tests")
target_compile_definitions(sentel_unit_tests PRIVATE
  SENTEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" SENTEL_SHIPPED_BIN="${SENTEL_SHIPPED_BIN}")
