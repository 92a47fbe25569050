# Writes the page: index.html with its own script (the bundle of page.js)
# put in place of @PAGE_JS@, so the page asks for no file of its own before
# the game's.
#   cmake -DSOURCE=index.html -DSCRIPT=page.js -DOUT=build-web/index.html -P inline_page.cmake
file(READ "${SOURCE}" page)
file(READ "${SCRIPT}" script)
string(STRIP "${script}" script)
# A closing tag inside the script would end it early.
string(TOLOWER "${script}" lower)
string(FIND "${lower}" "</script" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "${SCRIPT} holds a closing script tag and cannot be put inside the page")
endif()
string(FIND "${page}" "@PAGE_JS@" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${SOURCE} has no @PAGE_JS@ for its script")
endif()
string(REPLACE "@PAGE_JS@" "${script}" page "${page}")
file(WRITE "${OUT}" "${page}")
