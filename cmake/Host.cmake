# Native build: the portable code and its unit tests.
file(GLOB unit_test_sources CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(sentel_unit_tests ${unit_test_sources})
target_link_libraries(sentel_unit_tests PRIVATE sentel_portable GTest::gtest_main)
gtest_discover_tests(sentel_unit_tests DISCOVERY_TIMEOUT 30)

# scripts/setup against stand-ins for apt: a package mirror caught mid-sync.
add_test(NAME Setup.SurvivesMirrorMidSync
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/setup-test.sh)
