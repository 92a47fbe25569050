# Regenerates every sound from its source into WORK and checks that the result
# is byte-identical to the committed file in ASSETS, that no committed sound
# lacks a source and no source lacks a committed sound, and that each committed
# sound keeps the format and length the game expects.
#
# Inputs: SFXGEN (the tool), SOURCES (art/sfx), ASSETS (assets/sfx), WORK (scratch folder).

cmake_minimum_required(VERSION 3.25)

# Length in milliseconds each sound is meant to last; a file may stray by a third.
set(expected_lengths
  slash 75 oof 70 jump 70 land 131 enemyhit 86 hotbar 174 place 102 menu 70
  swap 171 shovel 70 break 210 raredrop 439 vanquish 373 discard 307
  inventory 273 death 2018 death2 463 transin 305 transout 305 apget 169
  aplose 183 bonus 322 moneyget 216 nope 70)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${SFXGEN}" "${SOURCES}" "${WORK}"
  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "sfxgen failed (${result}):\n${errors}")
endif()

file(GLOB made RELATIVE "${WORK}" "${WORK}/*.wav")
file(GLOB committed RELATIVE "${ASSETS}" "${ASSETS}/*.wav")
list(SORT made)
list(SORT committed)
set(faults "")

foreach(name IN LISTS made)
  if(NOT name IN_LIST committed)
    string(APPEND faults "  ${name}: made from a source but not committed in assets/sfx\n")
  endif()
endforeach()

# Little-endian number from the file's bytes as hex pairs.
function(read_le hex offset bytes out)
  set(value "")
  math(EXPR last "${bytes} - 1")
  foreach(i RANGE ${last})
    math(EXPR at "(${offset} + ${i}) * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    set(value "${byte}${value}")
  endforeach()
  math(EXPR value "0x${value}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

foreach(name IN LISTS committed)
  set(file "${ASSETS}/${name}")
  if(NOT name IN_LIST made)
    string(APPEND faults "  ${name}: committed but no source makes it\n")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${file}"
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    string(APPEND faults "  ${name}: differs from what its source makes; regenerate it\n")
  endif()

  # RIFF, a 16-byte fmt chunk for PCM mono 44100 Hz 16-bit, then the data chunk.
  file(SIZE "${file}" size)
  file(READ "${file}" head LIMIT 46 HEX)
  string(SUBSTRING "${head}" 0 8 riff)
  string(SUBSTRING "${head}" 16 64 fmt)
  if(size LESS 46 OR NOT riff STREQUAL "52494646"
     OR NOT fmt STREQUAL "57415645666d7420100000000100010044ac0000885801000200100064617461")
    string(APPEND faults "  ${name}: not a plain 16-bit mono 44100 Hz PCM WAV\n")
    continue()
  endif()
  read_le("${head}" 4 4 riffsize)
  read_le("${head}" 40 4 datasize)
  math(EXPR want_riff "${size} - 8")
  math(EXPR want_data "${size} - 44")
  if(NOT riffsize EQUAL want_riff OR NOT datasize EQUAL want_data)
    string(APPEND faults "  ${name}: chunk sizes do not match the file size\n")
  endif()

  # Silent first and last sample, so the sound neither starts nor ends with a click.
  math(EXPR last_at "${size} - 2")
  file(READ "${file}" last LIMIT 2 OFFSET ${last_at} HEX)
  string(SUBSTRING "${head}" 88 4 first)
  if(NOT first STREQUAL "0000" OR NOT last STREQUAL "0000")
    string(APPEND faults "  ${name}: first or last sample is not zero\n")
  endif()

  string(REGEX REPLACE "\\.wav$" "" stem "${name}")
  list(FIND expected_lengths "${stem}" at)
  if(at LESS 0)
    string(APPEND faults "  ${name}: not a sound the game plays\n")
  else()
    math(EXPR at "${at} + 1")
    list(GET expected_lengths ${at} want_ms)
    math(EXPR ms "${datasize} * 1000 / 88200")
    math(EXPR shortest "${want_ms} * 2 / 3")
    math(EXPR longest "${want_ms} * 4 / 3")
    if(ms LESS shortest OR ms GREATER longest)
      string(APPEND faults "  ${name}: lasts ${ms} ms, meant to last about ${want_ms} ms\n")
    endif()
  endif()
endforeach()

list(LENGTH expected_lengths pairs)
math(EXPR wanted "${pairs} / 2")
list(LENGTH committed count)
if(NOT count EQUAL wanted)
  string(APPEND faults "  assets/sfx holds ${count} sounds, the game plays ${wanted}\n")
endif()

if(faults)
  message(FATAL_ERROR "sounds out of step with their sources:\n${faults}")
endif()
