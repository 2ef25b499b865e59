# Which source builds where, by file name alone, so that adding a file needs no edit here:
#  - engine/ and support/ are OS-free, except files ending in _win32.cpp;
#  - in host/ and commands/, only files ending in _parse.cpp are OS-free;
#  - files ending in _posix.cpp stand in for their _win32.cpp twins in the native builds.
# Tests follow the same rule: tests/engine, tests/support and *_parse_test.cpp also build
# natively; *_win32_test.cpp and everything else run under Wine only.
file(GLOB_RECURSE ORQ_ALL_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/engine/*.cpp ${CMAKE_SOURCE_DIR}/support/*.cpp
     ${CMAKE_SOURCE_DIR}/host/*.cpp ${CMAKE_SOURCE_DIR}/commands/*.cpp
     ${CMAKE_SOURCE_DIR}/orqcab/*_parse.cpp)
list(FILTER ORQ_ALL_SOURCES EXCLUDE REGEX "/host/main\\.cpp$")

set(ORQ_PORTABLE_SOURCES ${ORQ_ALL_SOURCES})
list(FILTER ORQ_PORTABLE_SOURCES INCLUDE REGEX "(/engine/|/support/|_parse\\.cpp$)")
list(FILTER ORQ_PORTABLE_SOURCES EXCLUDE REGEX "_win32\\.cpp$")

set(ORQ_WINDOWS_SOURCES ${ORQ_ALL_SOURCES})
list(FILTER ORQ_WINDOWS_SOURCES EXCLUDE REGEX "_posix\\.cpp$")

file(GLOB_RECURSE ORQ_ALL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
set(ORQ_PORTABLE_TESTS ${ORQ_ALL_TESTS})
list(FILTER ORQ_PORTABLE_TESTS INCLUDE REGEX "(/tests/engine/|/tests/support/|_parse_test\\.cpp$)")
list(FILTER ORQ_PORTABLE_TESTS EXCLUDE REGEX "_win32_test\\.cpp$")
set(ORQ_WINDOWS_TESTS ${ORQ_ALL_TESTS})
list(FILTER ORQ_WINDOWS_TESTS EXCLUDE REGEX "_posix_test\\.cpp$")

set(ORQ_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")

function(orq_add_gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ORQ_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endfunction()
