#!/usr/bin/env bash
# Builds the program, writes the demo tender (once) and opens it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
tendrix=build/src/app/tendrix
[ -e demo-tender/podatki.dat ] || "$tendrix" demo demo-tender
exec "$tendrix" --dir demo-tender
