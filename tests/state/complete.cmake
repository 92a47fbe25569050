# Every writable global of the game's folders is in the list of the game's
# state (shell/state_list.cpp). Read from the built objects' symbol tables,
# not from any list kept by hand: a global the list does not name would be
# summed by no checkpoint and put back by no FreshGame, and nothing else
# would notice. Hidden ones count too (a file's own, a function's static):
# hidden state is the kind that leaks from one test into the next.
#
# Inputs: NM (the symbol lister), LISTER (prints the names the list holds),
# OBJECTS (a file naming the objects to read, one a line), BUILD (the build
# folder they are in), FOLDERS (the game's folders, comma-separated: only
# objects built from their sources are read).
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${LISTER} OUTPUT_VARIABLE listed RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${LISTER} could not print the list (${code})")
endif()
string(REPLACE "\n" ";" listed "${listed}")
string(REPLACE "," ";" folders "${FOLDERS}")
file(STRINGS "${OBJECTS}" objects)

set(read 0)
set(seen 0)
set(missing "")
foreach(object IN LISTS objects)
  # The source an object was built from is its path in the build folder
  # without the target's own folder: CMakeFiles/<target>.dir/areas/enemy.cpp.o
  # and areas/CMakeFiles/<target>.dir/enemy.cpp.o are both areas/enemy.cpp.
  file(RELATIVE_PATH relative "${BUILD}" "${object}")
  string(REGEX REPLACE "CMakeFiles/[^/]+\\.dir/" "" source "${relative}")
  string(REGEX REPLACE "\\.(o|obj)$" "" source "${source}")
  string(REGEX MATCH "^[^/]+" folder "${source}")
  if(NOT folder IN_LIST folders)
    continue()
  endif()
  math(EXPR read "${read} + 1")
  execute_process(COMMAND ${NM} -C --format=sysv "${object}" OUTPUT_VARIABLE symbols RESULT_VARIABLE code
                  ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${object}: ${err}")
  endif()
  # Brackets would be taken for list syntax; no global's name needs them.
  string(REPLACE "[abi:cxx11]" "" symbols "${symbols}")
  string(REPLACE "[" "<" symbols "${symbols}")
  string(REPLACE "]" ">" symbols "${symbols}")
  string(REPLACE ";" "," symbols "${symbols}")
  string(REPLACE "\n" ";" symbols "${symbols}")
  foreach(line IN LISTS symbols)
    # name|value|class|type|size|line|section
    if(NOT line MATCHES "^(.*[^ ]) *\\|[0-9a-f]*\\| *([BbDdVu]) *\\|[^|]*\\|[^|]*\\|[^|]*\\|(.*)$")
      continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(kind "${CMAKE_MATCH_2}")
    set(section "${CMAKE_MATCH_3}")
    # Writable data only: not read-only data, nor what the linker makes read-only after relocating it.
    if(NOT section MATCHES "^\\.(data|bss|tdata|tbss)" OR section MATCHES "^\\.data\\.rel\\.ro")
      continue()
    endif()
    # The compiler's and the standard library's own: guards of statics,
    # class records, the exception machinery's reference, the sanitizers'
    # marks beside each global; and a Windows object's names for its
    # sections themselves (".data", ".bss").
    if(name MATCHES "^\\." OR name MATCHES "^(guard variable for|vtable for|VTT for|construction vtable for|typeinfo|DW\\.ref\\.)"
       OR name MATCHES "^(std|__gnu_cxx|__cxxabiv1)::" OR name MATCHES "^__(odr_asan|asan|ubsan|sancov)")
      continue()
    endif()
    math(EXPR seen "${seen} + 1")
    # A file's own global (or a function's static) is named with its file,
    # without the unnamed namespace and the functions' parameters.
    if(kind MATCHES "^[bd]$")
      string(REPLACE "(anonymous namespace)::" "" name "${name}")
      set(stripped "")
      while(NOT stripped STREQUAL name)
        set(stripped "${name}")
        string(REGEX REPLACE "\\([^()]*\\)" "" name "${name}")
      endwhile()
      set(name "${source}:${name}")
    endif()
    if(NOT name IN_LIST listed)
      list(APPEND missing "  ${name}   (in ${relative})")
    endif()
  endforeach()
endforeach()

if(read EQUAL 0 OR seen EQUAL 0)
  message(FATAL_ERROR "no object of the game's folders (${FOLDERS}) was read, or none had a writable global: "
                      "the objects in ${OBJECTS} are not where the check looks")
endif()
if(missing)
  list(REMOVE_DUPLICATES missing)
  string(REPLACE ";" "\n" missing "${missing}")
  message(FATAL_ERROR "writable globals missing from the list of the game's state (shell/state_list.cpp); "
                      "list each with how it is summed and its start, or as not state and why:\n${missing}")
endif()
message(STATUS "${seen} writable globals in ${read} objects, all in the list")
