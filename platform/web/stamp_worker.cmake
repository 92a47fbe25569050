# Writes the page's service worker with the digest of the files it keeps, so
# every build that changes them gives the browser a new worker to install.
#   cmake -DSOURCE=sw.js -DOUT=build-web/sw.js -DFILES="a;b;c" -P stamp_worker.cmake
set(all "")
foreach(f IN LISTS FILES)
  file(SHA256 "${f}" digest)
  string(APPEND all "${digest}")
endforeach()
string(SHA256 build "${all}")
string(SUBSTRING "${build}" 0 16 build)
file(READ "${SOURCE}" text)
string(REPLACE "@BUILD@" "${build}" text "${text}")
file(WRITE "${OUT}" "${text}")
