#!/usr/bin/env bash
# Entry point for the two quick-start commands and the other developer tasks.
#   ./dev.sh sample       build (the nationwide databases once), then convert data/sample-input.csv
#                         against the region 全国
#   ./dev.sh test         build, then run every test
#   ./dev.sh bench        build, then run the benchmarks
#   ./dev.sh screenshots  render every window of the desktop program to PNG files, and refresh
#                         the pictures of the user guide (docs/ja/images) from them
#   ./dev.sh japan-db     build the nationwide databases into build/<preset>/japan-db once
#   ./dev.sh build        only configure and build
#   ./dev.sh package      build, then the Debian package build/<preset>/package/mok2_*.deb
#   ./dev.sh package-test the package installed into a clean Debian 12 root (cached in
#                         build/package-test) and used there: first start, sample conversion
#   ./dev.sh stats        count code and test lines per folder, and the test-to-source ratio
#   ./dev.sh fuzz [SECONDS]  build the fuzz targets (preset fuzz), run each for SECONDS (60)
set -euo pipefail
cd "$(dirname "$0")"
preset=${MOK_PRESET:-release}
build_dir=build/$preset

# Builds everything, or only the targets given.
build() {
  scripts/install-deps
  [ -f "$build_dir/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" ${1:+--target "$@"}
}

case "${1:-}" in
  build) build ;;
  test)
    build
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$(nproc)"
    ;;
  sample)
    build
    out=$build_dir/sample-output.csv
    # mok2 convert prints the summary and the output's path; its settings file is the one beside
    # the program (created with the remembered entries when missing).
    # The sample holds a few addresses meant to fail: exit status 3 (finished, with failures) is
    # the sample's expected end.
    status=0
    "$build_dir/mok2" convert --db-dir "$build_dir/japan-db" -d 全国 \
      -i data/sample-input.csv -o "$out" -l 2 -f 3 --yes || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || exit "$status"
    ;;
  bench)
    build
    for b in "$build_dir"/bench/bench_*; do "$b"; done
    ;;
  japan-db)
    # Built once and kept while the data files are unchanged.
    build japan-db
    ;;
  screenshots)
    build
    cmake --build --preset "$preset" --target screenshots
    scripts/guide-images "$build_dir/screenshots"  # the user guide's pictures follow the windows
    ;;
  package)
    build
    (cd "$build_dir" && cpack -G DEB)
    ;;
  package-test)
    "$0" package
    scripts/package-test "$build_dir"
    ;;
  stats) scripts/stats ;;
  fuzz)
    # Each target of tests/fuzz grows its corpus in build/fuzz/corpus/<target> from the seeds of
    # tests/fuzz/corpus/<target>. A finding is written to build/fuzz/findings/<target>/; once the
    # fault is mended it belongs in tests/fuzz/regressions/<target>/, which the tests replay.
    preset=fuzz build_dir=build/fuzz
    build fuzz-targets
    seconds=${2:-60}
    # The address target writes to its database on every learned word it applies: in memory
    # when the machine has /dev/shm.
    [ -n "${TMPDIR:-}" ] || [ ! -d /dev/shm ] || export TMPDIR=/dev/shm
    export UBSAN_OPTIONS=print_stacktrace=1
    failed=()
    for target in "$build_dir"/tests/fuzz/fuzz_*; do
      name=${target##*/fuzz_}
      mkdir -p "$build_dir/corpus/$name" "$build_dir/findings/$name"
      echo "== $name: ${seconds}s"
      if ! "$target" -max_total_time="$seconds" -close_fd_mask=3 -print_final_stats=1 \
        -artifact_prefix="$build_dir/findings/$name/" \
        "$build_dir/corpus/$name" "tests/fuzz/corpus/$name" 2>"$build_dir/$name.log"; then
        failed+=("$name")
        grep -E 'ERROR|SUMMARY|#[0-9]+ .* in mok::' "$build_dir/$name.log" | head -8
      fi
      grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$build_dir/$name.log" || true
    done
    if [ ${#failed[@]} -gt 0 ]; then
      echo "Findings in: ${failed[*]} (see build/fuzz/<target>.log and build/fuzz/findings/)"
      exit 1
    fi
    ;;
  *)
    sed -n '2,/^set /{/^#/p}' "$0"
    exit 2
    ;;
esac
