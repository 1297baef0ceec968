# Compiler settings shared by every target of our own code.

add_library(irdex_warnings INTERFACE)
target_compile_options(irdex_warnings INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Werror -Wno-error=deprecated-declarations>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Werror>)

if(IRDEX_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(IRDEX_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT IRDEX_SANITIZE STREQUAL "")
  message(FATAL_ERROR "IRDEX_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(IRDEX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "IRDEX_FUZZ needs clang (configure with CXX=clang++ CC=clang)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Readable case names for parametrized tests (common/testing/case_name.h).
add_library(irdex_test_names INTERFACE)
target_include_directories(irdex_test_names INTERFACE ${PROJECT_SOURCE_DIR}/common)

# irdex_add_gtest(NAME target SOURCES ... LIBS ... [LABELS ...])
# One test executable, its cases registered one by one with CTest.
function(irdex_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} irdex_test_names GTest::gtest GTest::gmock GTest::gtest_main irdex_warnings)
  # Test discovery flattens a list of labels (and what follows it), so the labels travel as
  # one word: "analyzer-core" is found by `ctest -L analyzer` and by `ctest -L core`.
  string(REPLACE ";" "-" escaped_labels "${T_LABELS}")
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${IRDEX_BIN_DIR}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    PROPERTIES LABELS "${escaped_labels}" TIMEOUT 300)
endfunction()
