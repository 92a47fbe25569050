# Each case breaks one copy of the picture sources in a way an editor might,
# and expects gfxgen to stop with a message that names the fault and to write
# no picture at all. Run with:
#   cmake -DGFXGEN=... -DSOURCES=... -DWORK=... -P refuse_faults.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
set(failures "")

# mode is WRITE (replace the file) or APPEND (add to its end).
function(expect_refusal name file mode content expected)
  set(dir "${WORK}/${name}")
  file(COPY "${SOURCES}/" DESTINATION "${dir}")
  file(${mode} "${dir}/${file}" "${content}")
  execute_process(COMMAND "${GFXGEN}" "${dir}" "${dir}-out"
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(rc EQUAL 0)
    string(APPEND failures "\n  ${name}: accepted")
  elseif(NOT err MATCHES "${expected}")
    string(APPEND failures "\n  ${name}: said '${err}', expected '${expected}'")
  elseif(EXISTS "${dir}-out")
    string(APPEND failures "\n  ${name}: wrote pictures although it refused")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

set(heart_rows "........\n.kk.kk..\nkRRkRRk.\nkRRRRRk.\nkRRRRRk.\n.kRRRk..\n..kRk...\n...k....\n")

expect_refusal(wrong_picture_size heart.txt WRITE "size 8 9\nframe 0\n${heart_rows}"
  "heart.txt:1: heart.png must have picture size 8x8, not 8x9")
expect_refusal(wrong_cell_size arrow.txt WRITE "size 16 16\ncell 16 8\n"
  "arrow.txt:2: arrow.png must have cell size 8x8, not 16x8")
expect_refusal(missing_cell_size arrow.txt WRITE "size 16 16\nframe 0\n${heart_rows}"
  "arrow.txt:2: 'cell 8 8' must come before the first frame")
expect_refusal(unknown_colour_key heart.txt WRITE "size 8 8\nframe 0\n........\n.kk.kk..\nkRRkXRk.\n"
  "heart.txt:5: unknown colour key 'X'")
expect_refusal(short_row heart.txt WRITE "size 8 8\nframe 0\n........\n.kk.kk.\n"
  "heart.txt:4: row of 7 characters, expected 8")
expect_refusal(file_ends_inside_frame heart.txt WRITE "size 8 8\nframe 0\n........\n"
  "heart.txt:4: the file ends inside a frame")
expect_refusal(frame_past_the_sheet heart.txt WRITE "size 8 8\nframe 1\n${heart_rows}"
  "frame 1 is past the last frame 0")
expect_refusal(frame_given_twice heart.txt APPEND "frame 0\n${heart_rows}"
  "frame 0 given twice")
expect_refusal(copy_of_undrawn_frame player.txt APPEND "frame 12 from 13 mirror\n"
  "frame 13 must be drawn before it is copied")
expect_refusal(black_in_palette palette.txt APPEND "Z 000000 black\n"
  "pure black 000000 is the transparent colour")
expect_refusal(hole_reserved_in_palette palette.txt APPEND ". 102030 hole\n"
  "'.' is reserved for transparent black")
expect_refusal(palette_key_twice palette.txt APPEND "k 102030 again\n"
  "colour key 'k' defined twice")

# Terrain tiles are drawn on the bare screen: a hole would show through.
set(grass "")
foreach(i RANGE 14)
  string(APPEND grass "gggggggggggggggg\n")
endforeach()
expect_refusal(hole_in_terrain_tile overworld.txt WRITE
  "size 256 256\ncell 16 16\nframe 0\n${grass}ggggggg.gggggggg\nframe 1 from 0\nframe 2 from 0\nframe 3 from 0\nframe 4 from 0\nframe 5 from 0\nframe 6 from 0\n"
  "frame 0 is drawn with nothing behind it and must have no transparent pixel")
expect_refusal(missing_terrain_tile overworld.txt WRITE
  "size 256 256\ncell 16 16\nframe 0\n${grass}gggggggggggggggg\n"
  "frame 1 is drawn with nothing behind it")

# The font: only black and white, glyphs in their place, the unused codes blank.
expect_refusal(colour_in_font font.txt APPEND "frame 127\n.k..\n....\n....\n....\n....\n"
  "the font knows only '.' and '#', not 'k'")
expect_refusal(glyph_in_letter_gap font.txt WRITE "size 64 40\ncell 4 5\nframe 0\n...#\n....\n....\n....\n....\n"
  "character 0 uses the fourth column, which is the gap between letters")
expect_refusal(missing_glyph font.txt WRITE "size 64 40\ncell 4 5\n"
  "character 0 has no glyph")
expect_refusal(glyph_in_blank_code font.txt APPEND "frame 64\n.#..\n....\n....\n....\n....\n"
  "character 64 '@' must be blank")

if(failures)
  message(FATAL_ERROR "gfxgen let faulty sources through:${failures}")
endif()
message(STATUS "gfxgen refused every faulty source")
