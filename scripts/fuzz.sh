# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by ./test --fuzz: builds the libFuzzer targets with clang in build-fuzz/, runs each for
# a bounded time starting from its kept corpus, and merges the new inputs that reach new code into
# tests/fuzz/corpus/<target>/. A crash leaves its input in build-fuzz/artifacts/.

# talvek_fuzz <seconds per target> [target...]
talvek_fuzz() {
  local seconds=$1
  shift
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTALVEK_FUZZ=ON >/dev/null
  cmake --build build-fuzz -j "$(nproc)" --target fuzz_targets
  local targets=("$@")
  if [ ${#targets[@]} -eq 0 ]; then
    local source
    for source in tests/fuzz/*_fuzz.cpp; do
      targets+=("$(basename "$source" .cpp)")
    done
  fi
  mkdir -p build-fuzz/artifacts
  local failed=()
  local target corpus scratch
  for target in "${targets[@]}"; do
    corpus=tests/fuzz/corpus/$target
    mkdir -p "$corpus"
    scratch=$(mktemp -d)
    echo "== $target: ${seconds}s"
    if ! "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/$target-" "$scratch" "$corpus"; then
      failed+=("$target")
    fi
    # Edges only, not hit counts: the kept corpus stays small.
    "build-fuzz/tests/fuzz/$target" -merge=1 -use_counters=0 \
        -artifact_prefix="build-fuzz/artifacts/$target-" "$corpus" "$scratch" 2>&1 |
      grep -E "MERGE-OUTER: [0-9]+ new files" || true
    rm -rf "$scratch"
    echo "   corpus: $(find "$corpus" -type f | wc -l) files"
  done
  if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in build-fuzz/artifacts/)"
    return 1
  fi
}
