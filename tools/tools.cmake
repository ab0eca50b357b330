# CTest entries for the CPU tools: every single-instruction vector must pass.
if(TARGET z80-vectors)
  add_test(NAME z80_vectors COMMAND z80-vectors ${CMAKE_SOURCE_DIR}/../shared/z80-vectors/vectors.txt)
endif()
