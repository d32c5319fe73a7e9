find_package(GTest REQUIRED)
include(GoogleTest)

# The tests' own JACK server: a user's running server is never touched, and the tests that do not
# ask for JACK see none.
# They take turns on it: clients starting, connecting and dying at once starve one another on a
# loaded machine.
set(SONAVIST_JACK_ENV JACK_DEFAULT_SERVER=sonavist-tests)
set(SONAVIST_JACK_PROPERTIES
    "FIXTURES_REQUIRED jack_server RESOURCE_LOCK jack_server ENVIRONMENT ${SONAVIST_JACK_ENV}")

# sonavist_add_test(NAME sources... [LABELS l...] [LIBS libs...])
# One GoogleTest executable; each test case becomes a CTest test carrying the labels. Tests
# labelled jack get the JACK server fixture (tests/CMakeLists.txt).
function(sonavist_add_test name)
    cmake_parse_arguments(ARG "" "" "LABELS;LIBS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE sonavist_core ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        DISCOVERY_TIMEOUT 60)
    # Set once the discovered tests are known: passed through the discovery, a list of labels
    # falls apart into separate words.
    set(properties "LABELS \"${ARG_LABELS}\"")
    if("jack" IN_LIST ARG_LABELS)
        string(APPEND properties " ${SONAVIST_JACK_PROPERTIES}")
    endif()
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
    file(WRITE ${script} "if(${name}_TESTS)\n"
        "  set_tests_properties(\${${name}_TESTS} PROPERTIES ${properties})\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
