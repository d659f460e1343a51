#!/usr/bin/env bash
# Entry point for the two quick-start commands and the other developer tasks.
#   ./dev.sh sample       build (the nationwide databases once), then convert data/sample-input.csv
#                         against the region 全国
#   ./dev.sh test         build, then run every test
#   ./dev.sh bench        build, then run the benchmarks
#   ./dev.sh screenshots  render every window of the desktop program to PNG files
#   ./dev.sh japan-db     build the nationwide databases into build/<preset>/japan-db once
#   ./dev.sh build        only configure and build
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
    "$build_dir/mok2" convert --db-dir "$build_dir/japan-db" -d 全国 \
      -i data/sample-input.csv -o "$out" -l 2 -f 3 --yes
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
    ;;
  *)
    sed -n '2,9p' "$0"
    exit 2
    ;;
esac
