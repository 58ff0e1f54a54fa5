#!/usr/bin/env bash
# An interactive session in a real terminal (tmux): prompt, help, the server console, replies in
# their configured colour, history recall with the Up key, NO_COLOR, and the end of the session.
# Usage: interactive_test.sh DEVHOST_PROGRAM EXAMPLES_DIR   (exit 77: skipped, no tmux)
set -euo pipefail
devhost=$1
examples=$2
command -v tmux >/dev/null || { echo "interactive test: tmux not installed; skipped"; exit 77; }

sessions=0
socket="quorvane-interactive-$$-0"
work=$(mktemp -d)
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "interactive test: $*" >&2
  echo "--- screen ---" >&2
  cat "$work/screen" >&2 || true
  exit 1
}

# Waits until the pane shows TEXT (escape sequences kept), up to ten seconds: the machine may
# be busy building.
wait_for() {
  for _ in $(seq 100); do
    tmux -L "$socket" capture-pane -p -e -t qv >"$work/screen" 2>/dev/null || true
    grep -qF -- "$1" "$work/screen" && return 0
    sleep 0.1
  done
  fail "never showed: $1"
}

start() {  # ENVIRONMENT...
  # A fresh server each time: one still shutting down would refuse the new session.
  tmux -L "$socket" kill-server 2>/dev/null || true
  sessions=$((sessions + 1))
  socket="quorvane-interactive-$$-$sessions"
  tmux -L "$socket" new-session -d -s qv -x 160 -y 40 \
    "env $* '$devhost' --server-dir '$examples/server'; echo \"exit status \$?\"; sleep 30"
  wait_for "devhost>"  # the pane drops the blank after the prompt
}

keys() { tmux -L "$socket" send-keys -t qv "$@"; }

start TERM=xterm-256color
keys "help" Enter
wait_for "Chat commands: /rules, /help, /wipe"
wait_for "NAME: TEXT"
# The server console has no screen: the session says where its answer went.
keys "> Quorvane.Reload" Enter
wait_for 'the server console ran "Quorvane.Reload"'
# /rules is linear orange (1, 0.5, 0): 24-bit sRGB 255, 188, 0.
keys "alice: /rules" Enter
wait_for $'\e[38;2;255;188;0mNo building next to the spawn points.'
keys "alice: /wipe" Enter
wait_for "notification to alice, scale 1.5, 10 s"
# Up recalls the last line from history.
keys Up Enter
wait_for "devhost> alice: /wipe"
for _ in $(seq 100); do
  tmux -L "$socket" capture-pane -p -t qv >"$work/plain"
  [[ $(grep -c "notification to alice" "$work/plain") -eq 2 ]] && break
  sleep 0.1
done
[[ $(grep -c "notification to alice" "$work/plain") -eq 2 ]] || fail "history recall did not repeat /wipe"
keys "quit" Enter
wait_for "devhost: session ended; game allocator balanced"
wait_for "exit status 0"

start TERM=xterm-256color NO_COLOR=1
keys "alice: /rules" Enter
wait_for "[alice] No building next to the spawn points."
grep -q $'\e\\[38;2' "$work/screen" && fail "NO_COLOR still coloured the reply"
keys C-d
wait_for "exit status 0"

echo "interactive test: prompt, help, colour, history, NO_COLOR and quit work"
