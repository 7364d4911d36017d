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

# lumatix_add_qt_library(name SOURCES ... DEPS ...): a library of the window layers (src/gui,
# src/widgets), with moc run over its headers.
function(lumatix_add_qt_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  lumatix_add_library(${name} SOURCES ${ARG_SOURCES} DEPS ${ARG_DEPS})
  set_target_properties(lumatix_${name} PROPERTIES AUTOMOC ON AUTORCC ON)
endfunction()

# lumatix_add_gui_test(name SOURCES ... DEPS ...): one QtTest executable, run by CTest on the
# offscreen platform so that it needs no display and is never skipped.
function(lumatix_add_gui_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  lumatix_target_defaults(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LUMATIX_TEST_DATA=${PROJECT_SOURCE_DIR}/tests;LUMATIX_EXAMPLES=${PROJECT_SOURCE_DIR}/examples;LUMATIX_FUZZ_CORPUS=${PROJECT_SOURCE_DIR}/fuzz")
endfunction()
