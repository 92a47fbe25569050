# One stretch of real play, checked as anyone would check a replay: the real
# program's --verify plays it with no window and no display, and every
# checkpoint of the game's state must match up to the session's end. It
# says "replay ok: N steps" (whole, not cut short) and ends with 0, and
# writes nothing in the folder it plays in.
#
# Inputs: GAME (the program), REPLAY (the file), WORK (scratch folder).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${GAME} --verify ${REPLAY}
                WORKING_DIRECTORY "${WORK}" OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code TIMEOUT 240)
if(NOT (code EQUAL 0 AND out MATCHES "^replay ok: [0-9]+ steps\n$"))
  message(FATAL_ERROR "${REPLAY} does not play as it was recorded (${code}):\n${out}${err}\n"
                      "If the game was changed on purpose, record the stretch again (tests/replays/README.md).")
endif()
file(GLOB_RECURSE written LIST_DIRECTORIES true "${WORK}/*")
if(written)
  message(FATAL_ERROR "playing ${REPLAY} wrote in the folder it played in: ${written}")
endif()
