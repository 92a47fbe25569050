# The floors hold by what each floor's library may see (cmake/floors.cmake):
# an include that runs up a floor does not compile. One way round that is
# left to the compiler: a quoted include is looked for beside the file that
# asks first, so "../platform/files/filelayer.h" would be found there
# whatever the floor. No source of a floor climbs so.
#
# Inputs: SOURCE (the project's root).
cmake_minimum_required(VERSION 3.25)

set(found "")
foreach(folder engine media platform replay base ui overworld areas creatures shell)
  file(GLOB_RECURSE files "${SOURCE}/${folder}/*.h" "${SOURCE}/${folder}/*.cpp")
  foreach(f IN LISTS files)
    file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"(\\.\\.|/)")
    foreach(line IN LISTS lines)
      file(RELATIVE_PATH name "${SOURCE}" "${f}")
      string(APPEND found "  ${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "includes that go round the floors, by a path from the file that asks:\n${found}"
    "name every header from the project's root, as the floor's view has it")
endif()
