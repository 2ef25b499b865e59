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

# The files made from the command table (reference page, editor grammar, extension version):
# the target "reference" remakes them; the test fails while a checked-in copy differs.
file(GLOB ORQ_ORQDOC_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/orqdoc/*.cpp)
add_executable(orqdoc ${ORQ_ORQDOC_SOURCES})
target_link_libraries(orqdoc PRIVATE orq_portable)
target_compile_definitions(orqdoc PRIVATE ORQ_VERSION="${PROJECT_VERSION}")
target_compile_options(orqdoc PRIVATE ${ORQ_SANITIZE})
target_link_options(orqdoc PRIVATE ${ORQ_SANITIZE})
add_custom_target(reference COMMAND orqdoc ${CMAKE_SOURCE_DIR} VERBATIM)
add_test(NAME generated_files_match_command_table COMMAND orqdoc ${CMAKE_SOURCE_DIR} --check)

# The editor grammar, tokenised as an editor would (node packages from editors/vscode).
find_program(ORQ_NODE NAMES node nodejs)
add_test(NAME editor_grammar_scopes
         COMMAND ${ORQ_NODE} ${CMAKE_SOURCE_DIR}/editors/vscode/test/grammar.test.js)

# orqcheck: the script check as a command-line tool for script authors' own pipelines.
add_executable(orqcheck ${CMAKE_SOURCE_DIR}/tools/orqcheck/orqcheck.cpp)
target_link_libraries(orqcheck PRIVATE orq_portable_optimised)
target_compile_options(orqcheck PRIVATE -O2)
add_dependencies(orq_native_tests orqcheck)  # its tests run the tool

# Every room includes only the rooms below it (docs/architecture.md).
add_test(NAME rooms_include_only_rooms_below COMMAND bash ${CMAKE_SOURCE_DIR}/tools/rooms.sh)
