# libFuzzer targets over the OS-free code (clang-14). Each fuzz/<name>_fuzz.cpp becomes one
# program; CTest runs each for a short smoke over its seed folder fuzz/corpus/<name>.
set(ORQ_FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-g ${ORQ_FUZZ_SANITIZE} -fsanitize=fuzzer-no-link)
add_link_options(${ORQ_FUZZ_SANITIZE})

add_library(orq_portable STATIC ${ORQ_PORTABLE_SOURCES})
target_include_directories(orq_portable PUBLIC ${CMAKE_SOURCE_DIR})

set(ORQ_FUZZ_SMOKE_SECONDS 15 CACHE STRING "seconds each fuzz target runs in the test smoke")
file(GLOB ORQ_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(fuzzer ${ORQ_FUZZERS})
  get_filename_component(name ${fuzzer} NAME_WE)
  add_executable(${name} ${fuzzer})
  target_link_libraries(${name} PRIVATE orq_portable)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  string(REGEX REPLACE "_fuzz$" "" corpus ${name})
  set(seed_dir ${CMAKE_SOURCE_DIR}/fuzz/corpus/${corpus})
  set(work_dir ${CMAKE_BINARY_DIR}/corpus/${corpus})
  file(MAKE_DIRECTORY ${work_dir})
  add_test(NAME ${name}_smoke
           COMMAND ${name} -max_total_time=${ORQ_FUZZ_SMOKE_SECONDS} -print_final_stats=1 ${work_dir} ${seed_dir})
endforeach()
