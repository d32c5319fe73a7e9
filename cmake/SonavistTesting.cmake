find_package(GTest REQUIRED)
include(GoogleTest)

# sonavist_add_test(NAME sources... [LABELS l...] [LIBS libs...])
# One GoogleTest executable; each test case becomes a CTest test carrying the labels.
function(sonavist_add_test name)
    cmake_parse_arguments(ARG "" "" "LABELS;LIBS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE sonavist_core ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        PROPERTIES LABELS "${ARG_LABELS}"
        DISCOVERY_TIMEOUT 60)
endfunction()
