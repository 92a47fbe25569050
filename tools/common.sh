# What the scripts in tools/ share; each sources it from the project's root.
# One run of a script and those it calls sets up and builds each thing once:
# what is done is passed down to them in the environment, and a script run
# on its own, from a fresh clone, does it all itself.
#   QUILLMOOR_SETUP   the tools/setup.sh modes already run ("--web" covers them all)
#   QUILLMOOR_BUILT   the build folders already built whole and current

# setup [--package | --page | --web]: installs what that needs, once a run.
setup() {
  local mode=${1:-desktop}
  case " ${QUILLMOOR_SETUP:-} " in *" --web "* | *" $mode "*) return 0 ;; esac
  bash tools/setup.sh "$@"
  export QUILLMOOR_SETUP="${QUILLMOOR_SETUP:-} $mode"
}

# built FOLDER: whether FOLDER was built whole in this run.
built() {
  case " ${QUILLMOOR_BUILT:-} " in *" $1 "*) return 0 ;; *) return 1 ;; esac
}
mark_built() {
  export QUILLMOOR_BUILT="${QUILLMOOR_BUILT:-} $1"
}

# build_desktop [TARGET...]: build/, the desktop game with its tests, as the
# tests and tools/play.sh use it; only TARGETs when named, nothing when this
# run has built it whole.
build_desktop() {
  built build && return 0
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build build -j"$(nproc)" --target "$@"
  else
    cmake --build build -j"$(nproc)"
    mark_built build
  fi
}

# build_host_tools: the tools that run while the page or Windows is built,
# built for this machine into build-host/ (embedfiles, decodepictures, appicon).
build_host_tools() {
  built build-host && return 0
  cmake -S . -B build-host -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF >/dev/null
  cmake --build build-host --target embedfiles decodepictures appicon -j"$(nproc)"
  mark_built build-host
}

# wine_up: a wine of the Windows build's own (build-windows/wine) started and
# kept running while this script runs, so each program it runs starts at
# once; a program that crashes ends with an error instead of waiting in a
# debugger; no sound device, as on a machine without one (a test that
# listens gives it one of its own). Stopped when the script ends.
wine_up() {
  export WINEPREFIX="$PWD/build-windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d;winealsa.drv=d"
  mkdir -p "$WINEPREFIX"
  wineserver -p 2>/dev/null || true
  wineboot -i >/dev/null 2>&1 || true
  trap 'wineserver -k 2>/dev/null || true' EXIT
}

# build_windows: the game for Windows in build-windows/ (tools/windows.sh
# --build), with its tests, once a run.
build_windows() {
  built build-windows && return 0
  build_host_tools
  # The programs under test see the source tree through wine's drive Z:.
  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUILLMOOR_BENCH=OFF -DQUILLMOOR_HOST_TOOLS="$PWD/build-host" -DQUILLMOOR_TEST_SOURCE_DIR="Z:$PWD" >/dev/null
  cmake --build build-windows -j"$(nproc)"
  mark_built build-windows
}

# build_page: the page in build-web/ (tools/web.sh --build), once a run.
build_page() {
  built build-web && return 0
  bash tools/web.sh --build
  mark_built build-web
}
