# SPDX-License-Identifier: GPL-3.0-or-later
# The subsystem labels. tests_<label> builds every executable the tests of one subsystem run, and
# tests those of all, so that a sanitizer build compiles no more than its tests need.
set(TALVEK_TEST_LABELS serial counter recording portselect plot graph app analysis cli tools e2e)
add_custom_target(tests)
foreach(label ${TALVEK_TEST_LABELS})
  add_custom_target(tests_${label})
  add_dependencies(tests tests_${label})
endforeach()

# talvek_test_executable(<target> <label>): counts the executable among its subsystem's tests.
function(talvek_test_executable target label)
  if(NOT label IN_LIST TALVEK_TEST_LABELS)
    message(FATAL_ERROR "${target}: ${label} is not a subsystem label")
  endif()
  add_dependencies(tests_${label} ${target})
endfunction()

# talvek_add_test(<name> LABEL <subsystem> [GUI] SOURCES ... [LIBS ...] [TIMEOUT s])
# Builds one GoogleTest executable and registers it with CTest under the subsystem's label.
# GUI tests get a QApplication, the others a QCoreApplication; all run on the offscreen platform.
function(talvek_add_test name)
  cmake_parse_arguments(T "GUI" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "talvek_add_test(${name}): LABEL is required")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE talvek_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE talvek_test_main_core)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} talvek_test_support GTest::gtest GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  talvek_test_executable(${name} ${T_LABEL})
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TALVEK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
