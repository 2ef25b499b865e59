# The OS-free code, built with g++ under AddressSanitizer and UndefinedBehaviorSanitizer.
set(ORQ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra -Wno-unused-parameter ${ORQ_SANITIZE})
add_link_options(${ORQ_SANITIZE})

add_library(orq_portable STATIC ${ORQ_PORTABLE_SOURCES})
target_include_directories(orq_portable PUBLIC ${CMAKE_SOURCE_DIR})

orq_add_gtest()
include(GoogleTest)
file(GLOB ORQ_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support_code/*_posix.cpp)
add_executable(orq_native_tests ${ORQ_PORTABLE_TESTS} ${ORQ_TEST_SUPPORT})
target_link_libraries(orq_native_tests PRIVATE orq_portable gtest_main)
target_include_directories(orq_native_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
gtest_discover_tests(orq_native_tests DISCOVERY_MODE PRE_TEST
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                     PROPERTIES ENVIRONMENT "ORQ_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

file(GLOB ORQ_BENCH_NATIVE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_native_bench.cpp)
foreach(bench ${ORQ_BENCH_NATIVE})
  get_filename_component(name ${bench} NAME_WE)
  add_executable(${name} ${bench})
  target_link_libraries(${name} PRIVATE orq_portable)
  # Benchmarks measure the optimised code, not the sanitizers.
  target_compile_options(${name} PRIVATE -O2)
endforeach()
