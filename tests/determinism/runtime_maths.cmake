# The game takes the same steps on every machine only if its arithmetic
# gives the same bits everywhere. The C library's transcendental functions
# (sin, pow, atan2 and their like) are rounded differently by each runtime
# (glibc, Windows's, the browser's), so no object of the game's logic may
# call one: read from the built objects' symbols, not from the sources, so
# a call a header or the compiler brings in is seen too. (floor, fabs,
# sqrt, ldexp and frexp are exact everywhere, and may be used.)
#
# Inputs: NM (the symbol lister), OBJECTS (a file naming the objects, one a line).
cmake_minimum_required(VERSION 3.25)

set(forbidden sin cos tan asin acos atan atan2 sinh cosh tanh asinh acosh atanh exp exp2 expm1 log log2 log10
  log1p pow cbrt hypot erf erfc tgamma lgamma)
set(names "")
foreach(f IN LISTS forbidden)
  list(APPEND names ${f} ${f}f ${f}l)
endforeach()

file(STRINGS "${OBJECTS}" objects)
set(read 0)
set(found "")
foreach(object IN LISTS objects)
  if(object STREQUAL "")
    continue()
  endif()
  math(EXPR read "${read} + 1")
  execute_process(COMMAND ${NM} -u "${object}" OUTPUT_VARIABLE symbols RESULT_VARIABLE code ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${object}: ${err}")
  endif()
  string(REPLACE "\n" ";" symbols "${symbols}")
  foreach(line IN LISTS symbols)
    string(REGEX REPLACE "^ *U +" "" name "${line}")
    if(name IN_LIST names)
      get_filename_component(file "${object}" NAME)
      string(APPEND found "  ${name}   (in ${file})\n")
    endif()
  endforeach()
endforeach()
if(read EQUAL 0)
  message(FATAL_ERROR "no object of the game was read: the objects in ${OBJECTS} are not where the check looks")
endif()
if(found)
  message(FATAL_ERROR "the game's logic calls functions whose bits differ between runtimes:\n${found}")
endif()
message(STATUS "${read} objects, none calls a function whose bits differ between runtimes")
