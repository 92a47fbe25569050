# Writes the page's service worker with the names of the files it keeps and
# the digest of their contents, so every build that changes them gives the
# browser a new worker to install. The list comes from web.cmake's WEB_PAGE.
#   cmake -DSOURCE=sw.js -DOUT=build-web/sw.js -DFILES="/path/a;/path/b" -P stamp_worker.cmake
cmake_minimum_required(VERSION 3.25)
set(all "")
set(names "")
foreach(f IN LISTS FILES)
  file(SHA256 "${f}" digest)
  string(APPEND all "${digest}")
  get_filename_component(name "${f}" NAME)
  list(APPEND names "\"${name}\"")
endforeach()
string(SHA256 build "${all}")
string(SUBSTRING "${build}" 0 16 build)
list(JOIN names ", " names)
file(READ "${SOURCE}" text)
string(REPLACE "@BUILD@" "${build}" text "${text}")
string(REPLACE "\"@FILES@\"" "${names}" text "${text}")
file(WRITE "${OUT}" "${text}")
