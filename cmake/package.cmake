# The release archive: `cmake --build --preset windows --target package` (or windows32) makes
# Orqex-<version>-win64.zip (win32) with the two programs, the type libraries OrqCab registers
# beside itself, README, docs, the examples (the product example with its service program in
# its payload folder) and the editor extension, packaged from editors/vscode as the archive is made.
install(TARGETS Orqex OrqCab RUNTIME DESTINATION .)
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/OrqCab.tlb
              ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/OrqexAgent.tlb DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION examples)
install(TARGETS orqdemo RUNTIME DESTINATION examples/product/payload)
# The editor extension is packaged when the archive is made, so the archive never carries a
# stale one left in build/ (tools/install-deps.sh brings node and the packages it needs).
install(CODE "
  execute_process(COMMAND bash \"${CMAKE_SOURCE_DIR}/tools/package-vsix.sh\"
                  OUTPUT_VARIABLE orq_vsix OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE orq_rc)
  if(NOT orq_rc EQUAL 0)
    message(FATAL_ERROR \"packaging the editor extension failed (tools/package-vsix.sh)\")
  endif()
  file(INSTALL \${orq_vsix} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/editors\")")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Orqex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Orqex-${PROJECT_VERSION}-win${ORQ_WINDOWS_BITS})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
