# irdex_add_component(): one way to list a component's core, widgets and tests.
#
#   irdex_add_component(NAME <prefix>
#     DIRS <folder>...            folders relative to the calling CMakeLists.txt ("." for itself)
#     [CORE_LIBS <lib>...]        what the core links publicly
#     [UI_LIBS <lib>...]          what the widgets link publicly (besides the core)
#     [TEST_LIBS <lib>...]        what the tests link besides the component
#     [TEST_PREFIX <name>]        CTest prefix of the widget tests (default: <prefix>)
#     [LABELS <label>...])
#
# In each folder D:
#   D/*.cpp          -> <prefix>_core, a static library without widgets (Qt Core at most)
#   D/ui/*.cpp|*.h   -> <prefix>_ui, a static library of widgets with AUTOMOC
#   D/tests/*.cpp    -> one GoogleTest executable <prefix>_core_tests for all folders
#   D/ui/tests/*.cpp -> one Qt Test executable <prefix>_<file> per file, run offscreen as
#                       CTest "<TEST_PREFIX>.<file>"
# Targets without sources are not made. The folder of the calling CMakeLists.txt is the core's
# include root, so sources include "folder/file.h".
function(irdex_add_component)
  cmake_parse_arguments(C "" "NAME;TEST_PREFIX"
    "DIRS;CORE_LIBS;UI_LIBS;TEST_LIBS;LABELS" ${ARGN})
  if(NOT C_TEST_PREFIX)
    set(C_TEST_PREFIX ${C_NAME})
  endif()
  set(root ${CMAKE_CURRENT_SOURCE_DIR})
  set(core_sources "")
  set(ui_sources "")
  set(core_tests "")
  set(ui_tests "")
  foreach(dir IN LISTS C_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${root}/${dir}/*.cpp)
    list(APPEND core_sources ${found})
    file(GLOB found CONFIGURE_DEPENDS ${root}/${dir}/ui/*.cpp ${root}/${dir}/ui/*.h)
    list(APPEND ui_sources ${found})
    file(GLOB found CONFIGURE_DEPENDS ${root}/${dir}/tests/*.cpp)
    list(APPEND core_tests ${found})
    file(GLOB found CONFIGURE_DEPENDS ${root}/${dir}/ui/tests/*.cpp)
    list(APPEND ui_tests ${found})
  endforeach()

  if(core_sources)
    add_library(${C_NAME}_core STATIC ${core_sources})
    target_include_directories(${C_NAME}_core PUBLIC ${root})
    target_link_libraries(${C_NAME}_core PUBLIC ${C_CORE_LIBS} PRIVATE irdex_warnings)
  endif()
  if(ui_sources)
    add_library(${C_NAME}_ui STATIC ${ui_sources})
    set_target_properties(${C_NAME}_ui PROPERTIES AUTOMOC ON AUTORCC ON)
    target_include_directories(${C_NAME}_ui PUBLIC ${root})
    if(TARGET ${C_NAME}_core)
      target_link_libraries(${C_NAME}_ui PUBLIC ${C_NAME}_core)
    endif()
    target_link_libraries(${C_NAME}_ui PUBLIC ${C_UI_LIBS} PRIVATE irdex_warnings)
  endif()

  if(NOT IRDEX_BUILD_TESTS)
    return()
  endif()
  if(core_tests AND TARGET ${C_NAME}_core)
    irdex_add_gtest(NAME ${C_NAME}_core_tests SOURCES ${core_tests}
      LIBS ${C_NAME}_core ${C_TEST_LIBS} LABELS "${C_LABELS};core")
  endif()
  foreach(source IN LISTS ui_tests)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${C_NAME}_${name} ${source})
    set_target_properties(${C_NAME}_${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${C_NAME}_${name}
      PRIVATE ${C_NAME}_ui ${C_TEST_LIBS} Qt6::Test irdex_warnings)
    add_test(NAME ${C_TEST_PREFIX}.${name} COMMAND ${C_NAME}_${name})
    set_tests_properties(${C_TEST_PREFIX}.${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      WORKING_DIRECTORY ${IRDEX_BIN_DIR}
      LABELS "${C_LABELS};ui" TIMEOUT 300)
  endforeach()
endfunction()
