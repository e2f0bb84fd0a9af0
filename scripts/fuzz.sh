#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a fixed time.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
# SECONDS defaults to 60 per target; the targets are carte, split, curseur, son and
# image (all by default). Each run starts from the seeds in fuzz/corpus/<target>
# and the inputs kept in fuzz/regressions/<target>, and grows a working corpus
# in the build folder (CORVELLA_FUZZ_CONSTRUCTION, default build-fuzz), which
# later runs start from too. Any finding (crash, sanitizer report, leak,
# timeout, out of memory) fails the script; the input is written to
# <build>/trouvailles/ and the end of the log is printed. A summary line per
# target gives the executions, the coverage (cov: edges, ft: features) and the
# corpus size.
set -u
racine=$(cd "$(dirname "$0")/.." && pwd)
duree=${1:-60}
shift || true
cibles=("$@")
[ ${#cibles[@]} -eq 0 ] && cibles=(carte split curseur image son)
construction=${CORVELLA_FUZZ_CONSTRUCTION:-$racine/build-fuzz}

"$racine/scripts/dependances.sh"
if ! command -v clang++ >/dev/null; then
  echo "clang++ is needed (Debian: clang-14 libclang-rt-14-dev, with clang/clang++ on the PATH)" >&2
  exit 1
fi
CC=clang CXX=clang++ cmake -S "$racine" -B "$construction" -DCORVELLA_FUZZ=ON -DCORVELLA_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build "$construction" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${cibles[@]}") >/dev/null || exit 1

export ASAN_OPTIONS="allocator_may_return_null=1:detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$construction/trouvailles"
echoue=0
for cible in "${cibles[@]}"; do
  travail="$construction/corpus/$cible"
  journal="$construction/fuzz-$cible.log"
  mkdir -p "$travail" "$racine/fuzz/regressions/$cible"
  debut=$(date +%s)
  "$construction/fuzz/fuzz_$cible" "$travail" "$racine/fuzz/corpus/$cible" "$racine/fuzz/regressions/$cible" \
    -max_total_time="$duree" -timeout=25 -rss_limit_mb=2560 -max_len=8192 \
    -artifact_prefix="$construction/trouvailles/$cible-" -print_final_stats=1 >"$journal" 2>&1
  statut=$?
  fin=$(date +%s)
  # The last status line of libFuzzer: "#N <event> cov: C ft: F corp: K/S ..."
  etat=$(grep -aE '^#[0-9]+' "$journal" | tail -1)
  execs=$(grep -a 'stat::number_of_executed_units' "$journal" | awk '{print $2}')
  cov=$(sed -n 's/.* cov: \([0-9]*\) .*/\1/p' <<<"$etat")
  ft=$(sed -n 's/.* ft: \([0-9]*\) .*/\1/p' <<<"$etat")
  corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\) .*/\1/p' <<<"$etat")
  printf '%-8s %5ss  execs %-10s cov %-5s ft %-6s corpus %s\n' "$cible" $((fin - debut)) "${execs:-?}" \
    "${cov:-?}" "${ft:-?}" "${corp:-?}"
  if [ $statut -ne 0 ]; then
    echoue=1
    echo "fuzz_$cible FOUND SOMETHING (exit $statut); log: $journal" >&2
    grep -av '^libpng' "$journal" | tail -60 >&2
  fi
done
exit $echoue
