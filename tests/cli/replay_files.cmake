# Replay files given to the real program's --verify, as a player or a bug
# report might hand them over: each that cannot be played is named with its
# reason on one line and ends with 1, quickly, with nothing written in the
# folder the program runs in; a whole one says "replay ok: N steps" and 0,
# and one cut short after its first checkpoint is played up to the cut.
#
# The replays are recorded here by the game itself (RECORD plays a short
# session on the test machine and says how the file grew), and spoiled with
# the system's own tools.
#
# Inputs: GAME (the program), RECORD (record_replay), VERSION (the
# project's), WORK (scratch folder).
cmake_minimum_required(VERSION 3.25)

set(faults "")
macro(fault what)
  string(APPEND faults "  ${what}\n")
endmacro()

# Runs the program on a replay in an empty working folder of its own.
function(verify file out err code)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${GAME} --verify ${file}
                  WORKING_DIRECTORY "${WORK}/cwd" OUTPUT_VARIABLE o ERROR_VARIABLE e RESULT_VARIABLE r TIMEOUT 60)
  set(${out} "${o}" PARENT_SCOPE)
  set(${err} "${e}" PARENT_SCOPE)
  set(${code} "${r}" PARENT_SCOPE)
endfunction()

# Records a session with the version given; sets <prefix>_FILE to the
# replay, <prefix>_SIZES and <prefix>_STEPS to the lengths the file had and
# the update steps it held then, and <prefix>_TOTAL to the session's steps.
function(record folder version prefix)
  file(MAKE_DIRECTORY "${folder}")
  execute_process(COMMAND ${RECORD} "${folder}" "${version}" OUTPUT_VARIABLE o RESULT_VARIABLE r TIMEOUT 120)
  string(REGEX MATCH "replays/[^\n]+\\.replay" path "${o}")
  string(REGEX MATCH "total ([0-9]+)" total "${o}")
  if(NOT (r EQUAL 0 AND path AND total))
    message(FATAL_ERROR "the game recorded no whole session (${r}):\n${o}")
  endif()
  set(${prefix}_FILE "${folder}/${path}" PARENT_SCOPE)
  set(${prefix}_TOTAL "${CMAKE_MATCH_1}" PARENT_SCOPE)
  string(REGEX MATCHALL "(^|\n)[0-9]+ [0-9]+" grew "${o}")
  set(sizes "")
  set(steps "")
  foreach(line ${grew})
    string(STRIP "${line}" line)
    string(REPLACE " " ";" pair "${line}")
    list(GET pair 0 size)
    list(GET pair 1 step)
    list(APPEND sizes ${size})
    list(APPEND steps ${step})
  endforeach()
  set(${prefix}_SIZES "${sizes}" PARENT_SCOPE)
  set(${prefix}_STEPS "${steps}" PARENT_SCOPE)
endfunction()

function(cut from to bytes)
  execute_process(COMMAND head -c ${bytes} "${from}" OUTPUT_FILE "${to}")
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/cwd" "${WORK}/bad")
set(B "${WORK}/bad")

record("${WORK}/session" "${VERSION}" GOOD)
record("${WORK}/older" "0.0.1" OLD)
set(good "${GOOD_FILE}")

# Where the file stood as it grew: the header block alone (its kind, a
# one-byte length, the magic words, the format, the version: 23 bytes and
# the version's), the last whole block before the first checkpoint (taken
# when the 601st step is granted), and the whole blocks after it.
string(LENGTH "${VERSION}" versionlength)
math(EXPR header "23 + ${versionlength}")
set(beforecheck 0)
set(blocksbefore 0)
set(after "")
set(afterstep "")
list(LENGTH GOOD_SIZES n)
math(EXPR last "${n} - 1")
foreach(i RANGE ${last})
  list(GET GOOD_SIZES ${i} size)
  list(GET GOOD_STEPS ${i} step)
  if(step LESS_EQUAL 600 AND size GREATER header)
    set(beforecheck ${size})
    math(EXPR blocksbefore "${blocksbefore} + 1")
  elseif(step GREATER 600)
    list(APPEND after ${size})
    list(APPEND afterstep ${step})
  endif()
endforeach()
list(LENGTH after afters)
if(blocksbefore LESS 3 OR afters LESS 3)
  message(FATAL_ERROR "the session's replay has too few blocks around its first checkpoint:\n${GOOD_SIZES}\n${GOOD_STEPS}")
endif()
# The checkpoint's block, one more, and the one that is cut.
list(GET after 1 wholeend)
list(GET afterstep 1 wholesteps)
list(GET after 2 thirdend)

# ---- files that cannot be played: one line naming the file, and 1
cut("${good}" "${B}/cut-in-header" 20)
math(EXPR n "${header} + 3")
cut("${good}" "${B}/cut-in-first-block" ${n})
cut("${good}" "${B}/cut-before-checkpoint" ${beforecheck})
# The last byte of a block's contents, after the first checkpoint, flipped:
# the rest of the file is whole, and playable up to there.
math(EXPR at "${wholeend} - 5")
file(READ "${good}" byte OFFSET ${at} LIMIT 1 HEX)
math(EXPR flipped "0x${byte} ^ 0xff" OUTPUT_FORMAT HEXADECIMAL)
string(REPLACE "0x" "\\x" flipped "${flipped}")
file(COPY_FILE "${good}" "${B}/byte-flipped")
execute_process(COMMAND printf "${flipped}" OUTPUT_FILE "${B}/flipped-byte")
execute_process(COMMAND dd "of=${B}/byte-flipped" bs=1 seek=${at} conv=notrunc INPUT_FILE "${B}/flipped-byte"
                ERROR_QUIET)
file(REMOVE "${B}/flipped-byte")
file(TOUCH "${B}/empty")
# Sparse: 300 MB of zeros, alone and after a whole replay.
execute_process(COMMAND truncate -s 300M "${B}/huge-zeros")
file(COPY_FILE "${good}" "${B}/huge-after-replay")
execute_process(COMMAND truncate -s 300M "${B}/huge-after-replay")
file(COPY_FILE "${OLD_FILE}" "${B}/other-version")
file(WRITE "${B}/text" "UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n")
file(MAKE_DIRECTORY "${B}/folder")

# Each with a word of the reason it must give.
set(cases
  cut-in-header damaged
  cut-in-first-block "cut short"
  cut-before-checkpoint "cut short"
  byte-flipped damaged
  empty "not a replay"
  huge-zeros "not a replay"
  huge-after-replay damaged
  other-version "another version \\(0\\.0\\.1"
  text "not a replay"
  folder "cannot (be )?read"
  missing "cannot (be )?read")
list(LENGTH cases n)
math(EXPR last "${n} - 2")
foreach(i RANGE 0 ${last} 2)
  list(GET cases ${i} name)
  math(EXPR j "${i} + 1")
  list(GET cases ${j} reason)
  verify("${B}/${name}" out err code)
  string(FIND "${out}" "${B}/${name}: " named)
  if(NOT (code EQUAL 1 AND named EQUAL 0 AND out MATCHES ": [^\n]*${reason}[^\n]*\n$" AND err STREQUAL ""))
    fault("${name}: one line naming the file and why (${reason}), and 1 (got ${code}: '${out}' '${err}')")
  endif()
endforeach()
file(REMOVE "${B}/huge-zeros" "${B}/huge-after-replay")

# ---- files that play
verify("${good}" out err code)
if(NOT (code EQUAL 0 AND out STREQUAL "replay ok: ${GOOD_TOTAL} steps\n" AND err STREQUAL ""))
  fault("the whole session: 'replay ok: ${GOOD_TOTAL} steps' and 0 (got ${code}: '${out}' '${err}')")
endif()
# Cut inside a block after the first checkpoint: played through the whole
# blocks before the cut, which hold every step up to their flush.
math(EXPR n "${thirdend} - 3")
cut("${good}" "${B}/cut-after-checkpoint" ${n})
verify("${B}/cut-after-checkpoint" out err code)
if(NOT (code EQUAL 0 AND out MATCHES "^replay ok: ${wholesteps} steps; it ends early[^\n]*1 checkpoints? matched\n$"
        AND err STREQUAL ""))
  fault("cut after its first checkpoint: 'replay ok: ${wholesteps} steps; it ends early ...' and 0 (got ${code}: '${out}')")
endif()

file(GLOB_RECURSE written LIST_DIRECTORIES true "${WORK}/cwd/*")
if(written)
  fault("nothing is ever written in the working folder (found: ${written})")
endif()

if(faults)
  message(FATAL_ERROR "Replay files:\n${faults}")
endif()
