# CTest entries for the CPU tools: every single-instruction vector must pass. The vectors are
# kept compressed in the repository and unpacked into the build tree by CMake itself.
if(TARGET z80-vectors)
  set(VORLIX_VECTORS_ARCHIVE ${CMAKE_SOURCE_DIR}/tests/data/z80-vectors.tar.xz)
  set(VORLIX_VECTORS_DIR ${CMAKE_BINARY_DIR}/tests/data)
  add_custom_command(OUTPUT ${VORLIX_VECTORS_DIR}/vectors.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VORLIX_VECTORS_DIR}
    COMMAND ${CMAKE_COMMAND} -E chdir ${VORLIX_VECTORS_DIR} ${CMAKE_COMMAND} -E tar xf ${VORLIX_VECTORS_ARCHIVE}
    COMMAND ${CMAKE_COMMAND} -E touch ${VORLIX_VECTORS_DIR}/vectors.txt
    DEPENDS ${VORLIX_VECTORS_ARCHIVE} VERBATIM)
  add_custom_target(z80_vectors_data ALL DEPENDS ${VORLIX_VECTORS_DIR}/vectors.txt)
  add_test(NAME z80_vectors COMMAND z80-vectors ${VORLIX_VECTORS_DIR}/vectors.txt)
endif()
