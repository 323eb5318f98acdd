#!/usr/bin/env bash
# Builds the program, writes the demo tender (once) and opens it. Where no
# display is available, it writes the demo tender's priced offer
# specification (OBR-8) for group 28, subgroup 1 to a PDF instead.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
tendrix=build/src/app/tendrix
[ -e demo-tender/podatki.dat ] || "$tendrix" demo demo-tender
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  pdf="$PWD/demo-tender/OBR-8_28_1.pdf"
  if ! output=$("$tendrix" run rescenami --dir demo-tender --group 28 --subgroup 1 --pdf "$pdf" 2>&1); then
    printf '%s\n' "$output" >&2
    exit 1
  fi
  echo "No display here, so the program did not open. The demo tender's priced offer"
  echo "specification (OBR-8) for group 28, subgroup 1 is written to:"
  echo "  $pdf"
  exit 0
fi
exec "$tendrix" --dir demo-tender
