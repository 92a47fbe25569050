# The program's command line, run as a player or a script would run it:
# --version and --help answer and end with 0, an unknown option is refused
# with the usage and 2, and --data keeps the player's files in the folder
# named (making it) or, when it cannot be used, writes nothing anywhere.
# With no display the game ends at its window, after start-up has written
# its files.
#
# Inputs: GAME (the program), VERSION (the project's), WORK (scratch folder).
cmake_minimum_required(VERSION 3.25)

set(faults "")
macro(fault what)
  string(APPEND faults "  ${what}\n")
endmacro()

function(run out err code)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=SDL_VIDEODRIVER
                          ${GAME} ${ARGN}
                  WORKING_DIRECTORY "${WORK}/cwd" OUTPUT_VARIABLE o ERROR_VARIABLE e RESULT_VARIABLE r TIMEOUT 20)
  set(${out} "${o}" PARENT_SCOPE)
  set(${err} "${e}" PARENT_SCOPE)
  set(${code} "${r}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/cwd")

run(out err code --version)
if(NOT (code EQUAL 0 AND out STREQUAL "quillmoor ${VERSION}\n"))
  fault("--version prints 'quillmoor ${VERSION}' and ends with 0 (got ${code}: ${out})")
endif()

run(out err code --help)
string(FIND "${out}" "usage: quillmoor" usage)
string(FIND "${out}" "--data DIR" data)
string(FIND "${out}" "Escape" keys)
string(FIND "${out}" "settings.ini and worlds/" files)
if(NOT (code EQUAL 0 AND usage EQUAL 0 AND data GREATER 0 AND keys GREATER 0 AND files GREATER 0))
  fault("--help prints the usage, the options, the keys and the files, and ends with 0 (got ${code})")
endif()

foreach(bad --bogus -x --data)
  run(out err code ${bad})
  string(FIND "${err}" "usage: quillmoor" usage)
  if(NOT (code EQUAL 2 AND usage GREATER -1 AND out STREQUAL ""))
    fault("'${bad}' is refused with the usage on stderr and 2 (got ${code}, stdout '${out}')")
  endif()
endforeach()

# A folder three levels deep that does not exist yet.
run(out err code --data "${WORK}/home/share/quillmoor")
if(NOT (EXISTS "${WORK}/home/share/quillmoor/settings.ini" AND IS_DIRECTORY "${WORK}/home/share/quillmoor/worlds"))
  fault("--data DIR makes DIR and keeps settings.ini and worlds/ there")
endif()
run(out err code "--data=${WORK}/other")
if(NOT EXISTS "${WORK}/other/settings.ini")
  fault("--data=DIR is --data DIR")
endif()
# A player's folder named in letters beyond English, as a user's own may be.
run(out err code --data "${WORK}/Zoë/Ærø")
if(NOT EXISTS "${WORK}/Zoë/Ærø/settings.ini")
  fault("--data DIR keeps the files in a folder whose name has letters beyond English (got ${code}: ${err})")
endif()

# A file where the folder should be: one line says so, and nothing is
# written, there or in the working folder.
file(WRITE "${WORK}/blocked" "")
run(out err code --data "${WORK}/blocked/quillmoor")
string(REGEX MATCHALL "[^\n]+" errlines "${err}")
list(GET errlines 0 first)
if(NOT first STREQUAL "cannot use the data folder ${WORK}/blocked/quillmoor: Not a directory")
  fault("an unusable data folder is named on stderr, first (got: ${err})")
endif()
string(FIND "${err}" "settings.ini" settings)
if(NOT settings EQUAL -1)
  fault("no other line about the settings follows (got: ${err})")
endif()

file(GLOB written "${WORK}/cwd/*")
if(written)
  fault("nothing is ever written in the working folder (found: ${written})")
endif()

if(faults)
  message(FATAL_ERROR "The command line:\n${faults}")
endif()
