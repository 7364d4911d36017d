# Common settings for every target of the project.
function(lumatix_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(LUMATIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# lumatix_add_library(name SOURCES ... DEPS ...): the static library of one folder under src/.
function(lumatix_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(lumatix_${name} STATIC ${ARG_SOURCES})
  target_include_directories(lumatix_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(lumatix_${name} PUBLIC ${ARG_DEPS})
  lumatix_target_defaults(lumatix_${name})
endfunction()

# lumatix_add_test(name SOURCES ... DEPS ...): one GoogleTest executable, its cases registered with CTest.
function(lumatix_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  lumatix_target_defaults(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "LUMATIX_TEST_DATA=${PROJECT_SOURCE_DIR}/tests;LUMATIX_EXAMPLES=${PROJECT_SOURCE_DIR}/examples")
endfunction()
