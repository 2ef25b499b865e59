# The program, its tests and test helpers, cross-built; tests run under Wine.
option(ORQ_TESTS_UNDER_WINE "build the test programs and benchmarks (they run under Wine)" ON)
enable_language(RC)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# Wine wrapper: a prefix of this build's own; ctest runs every Windows test through it.
set(ORQ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(ORQ_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
file(WRITE ${ORQ_WINE_RUN}
     "#!/bin/sh\nORQ_WINEPREFIX='${ORQ_WINEPREFIX}' exec '${CMAKE_SOURCE_DIR}/tools/wine-run.sh' \"$@\"\n")
file(CHMOD ${ORQ_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ORQ_WINE_RUN})

set(ORQ_SYSTEM_LIBS shlwapi ole32 oleaut32 uuid advapi32 user32 gdi32 shell32 comctl32 version cabinet)

# Interfaces defined in IDL: widl makes a header and the interface ids in
# build/generated/, and a type library in bin/ (shipped beside the programs), or at `tlb`
# when that is a full path.
set(ORQ_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${ORQ_GENERATED_DIR})
set(ORQ_WIDL_INCLUDES -I/usr/include/wine/wine/windows -I${CMAKE_SOURCE_DIR}/resources)
# The build's width, 32 or 64 bits: type libraries carry it (their system kind), and so
# does the release archive's name. No 32-bit Wine is installed here, so the 32-bit build
# imports the standard OLE library's types from the 64-bit one (a type library refers to
# them by their ids only).
math(EXPR ORQ_WINDOWS_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
set(ORQ_WIDL_BITS -m${ORQ_WINDOWS_BITS})
if(ORQ_WINDOWS_BITS EQUAL 32)
  list(APPEND ORQ_WIDL_BITS -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
endif()
function(orq_idl name idl tlb)
  set(header ${ORQ_GENERATED_DIR}/${name}.h)
  set(ids ${ORQ_GENERATED_DIR}/${name}_i.c)
  set(library ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${tlb})
  if(IS_ABSOLUTE ${tlb})
    set(library ${tlb})
  endif()
  add_custom_command(
    OUTPUT ${header} ${ids} ${library}
    COMMAND widl ${ORQ_WIDL_INCLUDES} ${ORQ_WIDL_BITS} -h -o ${header} ${idl}
    COMMAND widl ${ORQ_WIDL_INCLUDES} ${ORQ_WIDL_BITS} -u -o ${ids} ${idl}
    COMMAND widl ${ORQ_WIDL_INCLUDES} ${ORQ_WIDL_BITS} -t -o ${library} ${idl}
    DEPENDS ${idl} VERBATIM)
  set(ORQ_IDL_OUTPUTS ${ORQ_IDL_OUTPUTS} ${header} ${ids} PARENT_SCOPE)
endfunction()
orq_idl(agent_interfaces ${CMAKE_SOURCE_DIR}/resources/agent_interfaces.idl OrqexAgent.tlb)
orq_idl(orqcab_interfaces ${CMAKE_SOURCE_DIR}/orqcab/orqcab_interfaces.idl OrqCab.tlb)
# The program's own type library goes into its resources, not beside it.
set(ORQ_SERVER_TLB ${ORQ_GENERATED_DIR}/orqex_server.tlb)
orq_idl(orqex_server ${CMAKE_SOURCE_DIR}/resources/orqex_server.idl ${ORQ_SERVER_TLB})

add_library(orq_resources OBJECT ${CMAKE_SOURCE_DIR}/resources/orqex.rc ${ORQ_SERVER_TLB})
target_include_directories(orq_resources PRIVATE ${CMAKE_SOURCE_DIR} ${ORQ_GENERATED_DIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/orqex.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/engine/messages.inc;${CMAKE_SOURCE_DIR}/resources/orqex.rgs;${ORQ_SERVER_TLB}")

add_library(orq_core STATIC ${ORQ_WINDOWS_SOURCES} ${ORQ_IDL_OUTPUTS})
target_include_directories(orq_core PUBLIC ${CMAKE_SOURCE_DIR} ${ORQ_GENERATED_DIR})
target_link_libraries(orq_core PUBLIC ${ORQ_SYSTEM_LIBS})

add_executable(Orqex WIN32 ${CMAKE_SOURCE_DIR}/host/main.cpp $<TARGET_OBJECTS:orq_resources>)
target_link_libraries(Orqex PRIVATE orq_core)

# OrqCab.exe, the cabinet installer: a COM local server of its own (OrqCab.tlb beside it).
add_executable(OrqCab WIN32 ${CMAKE_SOURCE_DIR}/orqcab/orqcab_main.cpp
               ${CMAKE_SOURCE_DIR}/orqcab/cab_installer.cpp ${CMAKE_SOURCE_DIR}/orqcab/cab_extract.cpp
               ${CMAKE_SOURCE_DIR}/orqcab/cab_install_worker.cpp
               ${CMAKE_SOURCE_DIR}/orqcab/cab_target.cpp
               ${CMAKE_SOURCE_DIR}/orqcab/background_moves.cpp)
target_link_libraries(OrqCab PRIVATE orq_core)

# The product example's service program (examples/product), shipped in its payload folder.
add_executable(orqdemo ${CMAKE_SOURCE_DIR}/examples/product/service/orqdemo.cpp)
target_include_directories(orqdemo PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(orqdemo PRIVATE advapi32)

# The examples' cabinet maker (tools/run-example.sh).
add_executable(make_cabinet ${CMAKE_SOURCE_DIR}/tools/make_cabinet.cpp)
target_include_directories(make_cabinet PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make_cabinet PRIVATE cabinet)

include(cmake/package.cmake)

# A 32-bit build is compiled, never run here (32-bit Wine cannot run on these machines):
# it stops at the programs; the test programs and benchmarks need Wine.
if(NOT ORQ_TESTS_UNDER_WINE)
  return()
endif()

# Small Windows programs that tests drive (a file holder, a window, a service ...).
file(GLOB ORQ_TEST_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/helpers/*.cpp)
foreach(helper ${ORQ_TEST_HELPERS})
  get_filename_component(name ${helper} NAME_WE)
  get_filename_component(dir ${helper} DIRECTORY)
  add_executable(${name} ${helper} ${ORQ_IDL_OUTPUTS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${ORQ_GENERATED_DIR})
  if(EXISTS ${dir}/${name}.rc)  # a helper's own resources
    target_sources(${name} PRIVATE ${dir}/${name}.rc)
  endif()
  target_link_libraries(${name} PRIVATE ${ORQ_SYSTEM_LIBS})
endforeach()

orq_add_gtest()
include(GoogleTest)

# One test program per test folder.
set(ORQ_TEST_GROUPS)
foreach(test_file ${ORQ_WINDOWS_TESTS})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${test_file})
  string(REGEX REPLACE "/.*" "" group ${rel})
  list(APPEND ORQ_TEST_GROUPS ${group})
  list(APPEND ORQ_TESTS_${group} ${test_file})
endforeach()
list(REMOVE_DUPLICATES ORQ_TEST_GROUPS)
file(GLOB ORQ_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support_code/*.cpp)
list(FILTER ORQ_TEST_SUPPORT EXCLUDE REGEX "_posix\\.cpp$")
foreach(group ${ORQ_TEST_GROUPS})
  set(exe orq_${group}_tests)
  add_executable(${exe} ${ORQ_TESTS_${group}} ${ORQ_TEST_SUPPORT} $<TARGET_OBJECTS:orq_resources>)
  target_link_libraries(${exe} PRIVATE orq_core gtest_main)
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  add_dependencies(${exe} Orqex OrqCab orqdemo)
  if(ORQ_TEST_HELPERS)
    foreach(helper ${ORQ_TEST_HELPERS})
      get_filename_component(name ${helper} NAME_WE)
      add_dependencies(${exe} ${name})
    endforeach()
  endif()
  # A group named *_cp932 runs with the double-byte ANSI code page 932 (Wine takes the
  # code page from the locale), and so do the programs it starts. (One variable each:
  # the discovery step cannot carry a list.)
  if(group MATCHES "_cp932$")
    set(env "LC_ALL=ja_JP.UTF-8")
  else()
    set(env "ORQ_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  endif()
  gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
                       PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${env}")
endforeach()

# A real restart needs a prefix of its own (ending the shared one's server would end the
# other tests).
foreach(family files interaction)
  add_test(NAME restart_throwaway_prefix_${family}
           COMMAND bash ${CMAKE_SOURCE_DIR}/tools/throwaway-prefix-restart.sh
                   ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${family})
  set_tests_properties(restart_throwaway_prefix_${family} PROPERTIES TIMEOUT 600)
endforeach()

add_test(NAME wine_prefix_ready COMMAND ${ORQ_WINE_RUN} cmd /c exit 0)
set_tests_properties(wine_prefix_ready PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_server_stop COMMAND ${ORQ_WINE_RUN} --stop)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)

file(GLOB ORQ_BENCH_WINDOWS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_win32_bench.cpp)
foreach(bench ${ORQ_BENCH_WINDOWS})
  get_filename_component(name ${bench} NAME_WE)
  add_executable(${name} ${bench} $<TARGET_OBJECTS:orq_resources>)
  target_link_libraries(${name} PRIVATE orq_core)
  add_dependencies(${name} Orqex OrqCab)
endforeach()
