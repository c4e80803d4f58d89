#!/usr/bin/env bash
# Configures, builds and tests every build: linux, linux-asan, linux32 (under
# qemu-i386) and win64 (under wine64); win32 is configured and built, and only
# its host-side checks run, since nothing here executes 32-bit Windows code.
# Prints one line per build and fails if any step of any build failed.
# Usage: tools/test-all.sh [preset...]   (default: all five)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs=${MARROWEL_JOBS:-2}
presets=("$@")
((${#presets[@]})) || presets=(linux linux-asan linux32 win64 win32)
mkdir -p build/logs

failed=0
summary=()
passed_total=0
failed_total=0
for preset in "${presets[@]}"; do
  start=$SECONDS
  log=build/logs/$preset
  step=
  status=ok
  for step in configure build test; do
    case $step in
      configure) cmd=(cmake --preset "$preset") ;;
      build)     cmd=(cmake --build --preset "$preset" -j "$jobs") ;;
      test)      cmd=(ctest --preset "$preset" -j "$jobs") ;;
    esac
    if ! "${cmd[@]}" >"$log.$step.log" 2>&1; then
      status=FAIL
      break
    fi
  done
  detail=$(grep -Eo '[0-9]+% tests passed.*' "$log.test.log" 2>/dev/null | tail -1 || true)
  if [[ $detail =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed_total=$((failed_total + BASH_REMATCH[1]))
    passed_total=$((passed_total + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
  if [[ $status == FAIL ]]; then
    failed=1
    echo "---- $preset: $step failed; $log.$step.log follows"
    cat "$log.$step.log"
    echo "----"
    detail="$step failed${detail:+; $detail}"
  fi
  summary+=("$(printf '%-11s %-4s %4ss  %s' "$preset" "$status" $((SECONDS - start)) "${detail:-built}")")
  echo "${summary[-1]}"
done
if ((failed)); then
  # Repeated below the failure logs so the outcome is the last thing shown.
  printf '%s\n' "---- summary" "${summary[@]}"
fi
echo "$passed_total passed, $failed_total failed"
exit $failed
