# The release archive: `cmake --build --preset windows --target package` (or windows32) makes
# Orqex-<version>-win64.zip (win32) with the two programs, the type libraries OrqCab registers
# beside itself, README, docs, the examples (the product example with its service program in
# its payload folder) and the editor extension when it has been packaged into build/*.vsix.
install(TARGETS Orqex OrqCab RUNTIME DESTINATION .)
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/OrqCab.tlb
              ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/OrqexAgent.tlb DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION examples)
install(TARGETS orqdemo RUNTIME DESTINATION examples/product/payload)
# Looked for when the archive is made, so an extension packaged after configuring is taken.
install(CODE "
  file(GLOB orq_vsix \"${CMAKE_SOURCE_DIR}/build/*.vsix\")
  if(orq_vsix)
    file(INSTALL \${orq_vsix} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/editors\")
  endif()")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Orqex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Orqex-${PROJECT_VERSION}-win${ORQ_WINDOWS_BITS})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
