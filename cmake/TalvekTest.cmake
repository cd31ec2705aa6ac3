# SPDX-License-Identifier: GPL-3.0-or-later
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
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TALVEK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
