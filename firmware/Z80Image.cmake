# vorlix_z80_image(NAME n DIR d CODE addr DATA addr [SIZE bytes] [INCLUDE dir...]
#                  [AREAS _NAME=addr...] SOURCES s...)
# Assembles each source with sdasz80 and links them with sdldz80: area _CODE at CODE, _DATA
# (RAM, .ds only) at DATA, the AREAS at their addresses, absolute areas where their .org
# puts them. Produces d/n.bin (from
# address 0, SIZE bytes, or up to the last byte linked), d/n.map and d/n.ihx, and a target
# z80_n that builds them (NOTARGET: no target, for a caller whose own target uses the files;
# two targets depending on one command's output would run it twice at once). Listings (.lst, with cycle counts) sit beside the objects.
function(vorlix_z80_image)
  cmake_parse_arguments(Z "NOTARGET" "NAME;DIR;CODE;DATA;SIZE" "INCLUDE;SOURCES;DEPENDS;AREAS" ${ARGN})
  set(objdir ${CMAKE_CURRENT_BINARY_DIR}/${Z_NAME}.obj)
  file(MAKE_DIRECTORY ${objdir} ${Z_DIR})
  set(incflags "")
  set(incdeps "")
  foreach(dir ${Z_INCLUDE})
    list(APPEND incflags -I${dir})
    file(GLOB found ${dir}/*.inc)
    list(APPEND incdeps ${found})
  endforeach()
  set(rels "")
  foreach(src ${Z_SOURCES})
    get_filename_component(stem ${src} NAME_WE)
    add_custom_command(OUTPUT ${objdir}/${stem}.rel
      COMMAND ${SDAS} -plosgffw ${incflags} ${objdir}/${stem}.rel ${src}
      DEPENDS ${src} ${incdeps} ${Z_DEPENDS} VERBATIM)
    list(APPEND rels ${objdir}/${stem}.rel)
  endforeach()
  set(areaflags "")
  foreach(area ${Z_AREAS})
    list(APPEND areaflags -b ${area})
  endforeach()
  set(sizeflag "")
  if(Z_SIZE)
    set(sizeflag -s ${Z_SIZE})
  endif()
  add_custom_command(OUTPUT ${Z_DIR}/${Z_NAME}.bin ${Z_DIR}/${Z_NAME}.map
    COMMAND ${SDLD} -n -m -w -i -b _CODE=${Z_CODE} -b _DATA=${Z_DATA} ${areaflags} ${Z_DIR}/${Z_NAME}.ihx ${rels}
    COMMAND ${MAKEBIN} ${sizeflag} ${Z_DIR}/${Z_NAME}.ihx ${Z_DIR}/${Z_NAME}.bin
    DEPENDS ${rels} VERBATIM)
  if(NOT Z_NOTARGET)
    add_custom_target(z80_${Z_NAME} ALL DEPENDS ${Z_DIR}/${Z_NAME}.bin)
  endif()
endfunction()
