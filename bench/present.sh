#!/usr/bin/env bash
# Measures what presenting a frame costs, under a virtual display without a
# graphics card (as on a machine with none): for scales 2 and 4, the path
# the window chooses and each path forced, the game's processor time per
# presented frame and the display server's.
#   bash bench/present.sh [frames]      (after building into build/)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-600}
bench=build/bench/present_bench
[ -x "$bench" ] || { echo "build first: cmake --build build --target present_bench"; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X${display#:}" ] && break || sleep 0.1; done

ticks() { awk '{print $14 + $15}' "/proc/$server/stat"; }
hz=$(getconf CLK_TCK)
for scale in 2 4; do
  for path in automatic texture surface; do
    before=$(ticks)
    line=$(DISPLAY=$display "$bench" "$scale" "$path" "$frames")
    after=$(ticks)
    # The server's time covers the warm-up frames too: 30 more than counted.
    server_us=$(( (after - before) * 1000000 / hz / (frames + 31) ))
    printf '%-8s %s  display server: ~%d us\n' "$path" "$line" "$server_us"
  done
done
