# Feeds sfxgen folders holding one sound source with a fault beside a sound
# source without one, and checks that each fault is refused with a non-zero
# exit and a message naming the file, line and fault, and that no sound at all
# is written.
#
# Inputs: SFXGEN (the tool), WORK (scratch folder).

cmake_minimum_required(VERSION 3.25)

set(good "length = 50\nloudness = -16\n[layer]\nwave = sine\nfreq = 440\n")
set(head "length = 50\nloudness = -16\n[layer]\n")
set(faults "")

# bad_case(<case> <text of bad.sfx> <fragment the error output must hold>)
function(bad_case name text fragment)
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}/out")
  file(WRITE "${dir}/src/good.sfx" "${good}")
  if(NOT text STREQUAL "")
    file(WRITE "${dir}/src/bad.sfx" "${text}")
  else()
    file(REMOVE "${dir}/src/good.sfx")
  endif()
  execute_process(COMMAND "${SFXGEN}" "${dir}/src" "${dir}/out"
    RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
  file(GLOB written "${dir}/out/*")
  string(FIND "${errors}" "${fragment}" found)
  if(result EQUAL 0)
    string(APPEND faults "  ${name}: accepted\n")
  elseif(found LESS 0)
    string(APPEND faults "  ${name}: message lacks \"${fragment}\", got:\n${errors}")
  endif()
  if(written)
    string(APPEND faults "  ${name}: wrote ${written}\n")
  endif()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()

bad_case(unknown_key       "${head}wave = sine\nfreq = 440\nfrq = 3\n"    "bad.sfx:6: unknown key 'frq'")
bad_case(not_a_number      "${head}wave = sine\nfreq = 4x0\n"             "bad.sfx:5: 'freq': '4x0' is not a number")
bad_case(glide_missing_end "${head}wave = sine\nfreq = 440 ->\n"          "bad.sfx:5: 'freq': '' is not a number")
bad_case(out_of_range      "${head}wave = square\nfreq = 440\nduty = 1.5\n" "bad.sfx:6: 'duty' must lie between 0.01 and 0.99, not 1.5")
bad_case(unknown_wave      "${head}wave = sqaure\nfreq = 440\n"           "bad.sfx:4: unknown wave 'sqaure'")
bad_case(given_twice       "${head}wave = sine\nfreq = 440\nfreq = 880\n" "bad.sfx:6: 'freq' given twice")
bad_case(no_equals         "${head}wave sine\nfreq = 440\n"               "bad.sfx:4: expected 'key = value'")
bad_case(unknown_section   "length = 50\nloudness = -16\n[layers]\nwave = sine\n" "bad.sfx:3: unknown section '[layers]'")
bad_case(layer_key_outside "length = 50\nloudness = -16\nwave = sine\n[layer]\nwave = sine\nfreq = 440\n" "bad.sfx:3: 'wave' belongs in a [layer] section")
bad_case(missing_length    "loudness = -16\n[layer]\nwave = sine\nfreq = 440\n" "missing 'length'")
bad_case(missing_loudness  "length = 50\n[layer]\nwave = sine\nfreq = 440\n" "missing 'loudness'")
bad_case(no_layers         "length = 50\nloudness = -16\n"                "no [layer] sections")
bad_case(layer_no_wave     "${head}freq = 440\n"                          "bad.sfx:3: layer has no 'wave'")
bad_case(tone_no_freq      "${head}wave = triangle\n"                     "bad.sfx:3: layer has no 'freq'")
bad_case(tone_too_high     "${head}wave = saw\nfreq = 30000\n"            "bad.sfx:3: a tone's 'freq' must stay at or below 22050")
bad_case(arp_without_step  "${head}wave = sine\nfreq = 440\narp = 0 7\n"  "bad.sfx:3: 'arp' needs 'arpstep'")
bad_case(envelope_too_long "${head}wave = sine\nfreq = 440\nattack = 30\ndecay = 30\n" "bad.sfx:3: attack + decay + release is longer than the layer")
bad_case(layer_past_end    "${head}wave = sine\nfreq = 440\nstart = 40\nlength = 20\n" "bad.sfx:3: layer runs past the end of the sound")
bad_case(silent            "${head}wave = sine\nfreq = 440\nvolume = 0\n" "bad.sfx: the sound is silent")
bad_case(empty_folder      ""                                             "no .sfx sources")

if(faults)
  message(FATAL_ERROR "malformed sources not refused as they should be:\n${faults}")
endif()
