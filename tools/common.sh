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

# build_page: the page in build-web/ (tools/web.sh --build), once a run.
build_page() {
  built build-web && return 0
  bash tools/web.sh --build
  mark_built build-web
}
