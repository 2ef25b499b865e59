# The OS-free code, built with g++ under AddressSanitizer and UndefinedBehaviorSanitizer;
# benchmarks link an optimised copy without sanitizers.
set(ORQ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

add_library(orq_portable STATIC ${ORQ_PORTABLE_SOURCES})
target_include_directories(orq_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(orq_portable PRIVATE ${ORQ_SANITIZE})

orq_add_gtest()
include(GoogleTest)
file(GLOB ORQ_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support_code/*_posix.cpp)
add_executable(orq_native_tests ${ORQ_PORTABLE_TESTS} ${ORQ_TEST_SUPPORT})
target_link_libraries(orq_native_tests PRIVATE orq_portable gtest_main)
target_include_directories(orq_native_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(orq_native_tests PRIVATE ${ORQ_SANITIZE})
target_link_options(orq_native_tests PRIVATE ${ORQ_SANITIZE})
gtest_discover_tests(orq_native_tests DISCOVERY_MODE PRE_TEST
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                     PROPERTIES ENVIRONMENT "ORQ_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

add_library(orq_portable_optimised STATIC ${ORQ_PORTABLE_SOURCES})
target_include_directories(orq_portable_optimised PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(orq_portable_optimised PRIVATE -O2)
set_target_properties(orq_portable_optimised PROPERTIES EXCLUDE_FROM_ALL ON)
file(GLOB ORQ_BENCH_NATIVE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_native_bench.cpp)
foreach(bench ${ORQ_BENCH_NATIVE})
  get_filename_component(name ${bench} NAME_WE)
  add_executable(${name} ${bench})
  target_link_libraries(${name} PRIVATE orq_portable_optimised)
  target_compile_options(${name} PRIVATE -O2)
endforeach()

# orqcheck: the script check as a command-line tool for script authors' own pipelines.
add_executable(orqcheck ${CMAKE_SOURCE_DIR}/tools/orqcheck/orqcheck.cpp)
target_link_libraries(orqcheck PRIVATE orq_portable_optimised)
target_compile_options(orqcheck PRIVATE -O2)
add_dependencies(orq_native_tests orqcheck)  # its tests run the tool
