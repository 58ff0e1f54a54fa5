#!/bin/sh
# devhost --check against a plain session start on the same large files, side by side in one
# run: a 100,000-entry configuration, and a 4.4 MB one whose first command is 1 MiB long.
# Usage: scripts/bench-check.sh [DEVHOST] [RUNS]   (default: build/default/bin/devhost, 5)
set -eu
devhost=${1:-build/default/bin/devhost}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'EOF'
import json, os, sys
root = sys.argv[1]
def write(name, entries):
    folder = os.path.join(root, name, "ArkApi", "Plugins", "Quorvane")
    os.makedirs(folder)
    with open(os.path.join(folder, "config.json"), "w") as out:
        json.dump({"ChatCommands": entries}, out, indent=1)
write("many", [{"Command": f"/cmd{i}", "Type": "ServerChat", "Reply": f"Reply number {i}",
                "Color": [1, 0.5, 0, 1]} for i in range(100000)])
write("long", [{"Command": "/" + "x" * (1 << 20), "Type": "ClientChat", "Reply": "long"}] +
      [{"Command": f"/c{i}", "Type": "ClientChat", "Reply": f"Reply {i}"} for i in range(39500)])
EOF
: >"$work/empty-session.txt"

# Wall-clock seconds of one run, output discarded.
seconds() {
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

for name in many long; do
  dir="$work/$name"
  size=$(wc -c <"$dir/ArkApi/Plugins/Quorvane/config.json")
  best_start=999
  best_check=999
  i=0
  while [ "$i" -lt "$runs" ]; do
    s=$(seconds "$devhost" --server-dir "$dir" --script "$work/empty-session.txt")
    c=$(seconds "$devhost" --check --server-dir "$dir")
    best_start=$(echo "if ($s < $best_start) $s else $best_start" | bc)
    best_check=$(echo "if ($c < $best_check) $c else $best_check" | bc)
    i=$((i + 1))
  done
  report=$("$devhost" --check --server-dir "$dir" | wc -c) || true
  printf '%s: %s bytes; session start %.3f s, --check %.3f s (%.2fx), report %s bytes (best of %s)\n' \
    "$name" "$size" "$best_start" "$best_check" "$(echo "$best_check / $best_start" | bc -l)" \
    "$report" "$runs"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
