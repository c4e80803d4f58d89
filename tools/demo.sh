#!/usr/bin/env bash
# Builds the host (linux preset) and plays the demo conversation through it,
# printing every frame sent (->) and received (<-).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux -j "${MARROWEL_JOBS:-2}" >/dev/null
exec python3 tools/converse.py --run tools/demo.conv -v --libdir build/linux build/linux/Marrowel
