# A build for another machine (the page, Windows) first runs tools built for
# this one (tools/common.sh builds them into build-host/): the embedder of
# the built-in files, the picture decoder and the icon maker.
set(QUILLMOOR_HOST_TOOLS "" CACHE PATH "A folder holding embedfiles, decodepictures and appicon built for this machine")
foreach(tool embedfiles decodepictures appicon)
  if(NOT EXISTS "${QUILLMOOR_HOST_TOOLS}/${tool}")
    message(FATAL_ERROR "QUILLMOOR_HOST_TOOLS must name a folder with embedfiles, decodepictures and appicon")
  endif()
endforeach()

# The files under ROOT given, built into the program as OUT (a source file).
function(quillmoor_embed out root comment)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${QUILLMOOR_HOST_TOOLS}/embedfiles ${out} ${root} ${ARGN}
    DEPENDS ${ARGN}
    COMMENT "${comment}")
endfunction()

# The pictures given, decoded ahead into OUT (a source file), for a machine
# without libpng.
function(quillmoor_decode_pictures out)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${QUILLMOOR_HOST_TOOLS}/decodepictures ${out} ${PROJECT_SOURCE_DIR}/assets ${ARGN}
    DEPENDS ${ARGN}
    COMMENT "Decoding pictures ahead")
endfunction()
