#!/bin/bash
# `devhost --check --json` of two builds side by side in one run: instructions (callgrind, all
# threads), best wall time of RUNS alternated runs, and peak resident set (/usr/bin/time -v).
# Inputs, written into a temporary server folder: 10,000 and 100,000 compact entries on one
# line, the same with one finding each (an unknown key "Colour"), and a small valid value
# followed by a 2 GiB tail of spaces, then of text (new build RUNS times, stopping after a run
# over 10 s; base build once, as it reads the whole file). Ends with a plain session start on
# examples/server.
# Usage: scripts/bench-check-pair.sh BASE_DEVHOST NEW_DEVHOST [RUNS]   (RUNS defaults to 7)
# NO_CALLGRIND=1 skips the instruction counts.
set -euo pipefail
base=$1
new=$2
runs=${3:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v valgrind >/dev/null && [ -x /usr/bin/time ] || {
  echo "needs valgrind and /usr/bin/time (apt-get install valgrind time)" >&2
  exit 1
}

config() { echo "$work/$1/ArkApi/Plugins/Quorvane/config.json"; }
for name in e10k e100k f10k f100k small; do mkdir -p "$(dirname "$(config "$name")")"; done
python3 - "$work" <<'EOF'
import json, sys
root = sys.argv[1]
def write(name, entries):
    with open(f"{root}/{name}/ArkApi/Plugins/Quorvane/config.json", "w") as out:
        out.write(json.dumps({"ChatCommands": entries}, separators=(",", ":")) + "\n")
def entry(i, finding):
    e = {"Command": f"/cmd{i}", "Type": "ServerChat", "Reply": f"Reply number {i}",
         "Color": [1, 0.5, 0, 1]}
    if finding:
        e["Colour"] = [1, 0.5, 0, 1]
    return e
for count, label in ((10000, "10k"), (100000, "100k")):
    write("e" + label, [entry(i, False) for i in range(count)])
    write("f" + label, [entry(i, True) for i in range(count)])
write("small", [entry(0, False)])
EOF

# Instructions of one run, all threads together.
instructions() {
  valgrind --tool=callgrind --trace-children=no --separate-threads=no \
    --callgrind-out-file="$work/callgrind.out" "$@" >/dev/null 2>"$work/callgrind.err" || true
  sed -n 's/.*Collected : //p' "$work/callgrind.err"
}
# "SECONDS KIB" of one run: wall time and peak resident set; the output is discarded.
timed() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 )) $(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")"
}
# best_of RUNS ARGS...: both builds alternated; sets b_us n_us (best wall time, µs) and
# b_kib n_kib (highest peak over the runs).
best_of() {
  local count=$1 i t k
  shift
  b_us=999999999999 n_us=999999999999 b_kib=0 n_kib=0
  for ((i = 0; i < count; i++)); do
    read -r t k < <(timed "$base" "$@")
    if ((t < b_us)); then b_us=$t; fi
    if ((k > b_kib)); then b_kib=$k; fi
    read -r t k < <(timed "$new" "$@")
    if ((t < n_us)); then n_us=$t; fi
    if ((k > n_kib)); then n_kib=$k; fi
  done
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0) printf "%.2f", b / a; else printf "-" }'; }

header() {
  echo "| input | instructions base | new | ratio | best time base | new | ratio | peak base | new | ratio |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
}
row() {
  local label=$1 bi=- ni=-
  shift
  if [ "${NO_CALLGRIND:-0}" != 1 ]; then
    bi=$(instructions "$base" "$@")
    ni=$(instructions "$new" "$@")
  fi
  best_of "$runs" "$@"
  printf '| %s | %s | %s | %s | %.3f s | %.3f s | %s | %d KiB | %d KiB | %s |\n' "$label" \
    "$bi" "$ni" "$(ratio "${bi//,/}" "${ni//,/}")" "$(awk -v u=$b_us 'BEGIN{print u/1e6}')" \
    "$(awk -v u=$n_us 'BEGIN{print u/1e6}')" "$(ratio $b_us $n_us)" "$b_kib" "$n_kib" \
    "$(ratio $b_kib $n_kib)"
}
header
for name in e10k e100k f10k f100k; do
  row "--check --json, $name ($(wc -c <"$(config "$name")") bytes)" \
    --check --json --server-dir "$work/$name"
done

# The 2 GiB tails: the new build RUNS times, the base build once.
small=$(config small)
tail_row() {
  local label=$1 t k i best=999999999999 peak=0 made=0
  read -r t k < <(timed "$base" --check --json --server-dir "$work/small")
  printf '| %s | base once | %.3f s | %d KiB |\n' "$label" "$(awk -v u=$t 'BEGIN{print u/1e6}')" "$k"
  for ((i = 0; i < runs; i++)); do
    read -r t k < <(timed "$new" --check --json --server-dir "$work/small")
    if ((t < best)); then best=$t; fi
    if ((k > peak)); then peak=$k; fi
    made=$((i + 1))
    if ((t > 10000000)); then break; fi  # over 10 s: one more run would tell nothing new
  done
  printf '| %s | new, best of %d | %.3f s | %d KiB |\n' "$label" "$made" \
    "$(awk -v u=$best 'BEGIN{print u/1e6}')" "$peak"
}
echo
echo "| small value ($(wc -c <"$small") bytes) | build | best time | peak |"
echo "|---|---|---:|---:|"
cp "$small" "$work/small.json"
tail_row "no tail"
{ cat "$work/small.json"; head -c 2G /dev/zero | tr '\0' ' '; } >"$small"
tail_row "2 GiB of spaces after it"
{ cat "$work/small.json"; head -c 2G /dev/zero | tr '\0' 'x'; } >"$small"
tail_row "2 GiB of text (x) after it"
rm -f "$small"

echo
header
here=$(cd "$(dirname "$0")/.." && pwd)
row "session start, examples/server with examples/session.txt" --server-dir "$here/examples/server" --script "$here/examples/session.txt"
echo
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); $(date -u '+%Y-%m-%d %H:%M UTC')"
