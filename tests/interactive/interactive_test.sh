#!/usr/bin/env bash
# An interactive session in a real terminal (tmux): prompt, help, the server console's answer,
# replies in their configured colour, an unreadable line, Tab completion, history recall with the
# Up key, NO_COLOR, and the end of the session by quit and by Ctrl-D.
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
# The server console has no screen: the session shows its answer, in its colour (green).
keys "> Quorvane.Reload" Enter
wait_for $'the server console\'s answer: \e[38;2;0;255;0mReloaded config'
# A line the prompt cannot read shows the forms a line takes, with no line number.
keys "/rules" Enter
wait_for "not a session line (no ':' or '>' after a player name): /rules"
wait_for "NAME> TEXT   player NAME enters TEXT on the console"
grep -q "line [0-9]" "$work/screen" && fail "the prompt gave a line number"
# Tab completes a registered command, letter case aside.
keys "bob: /HE" Tab Enter
wait_for "devhost> bob: /help"
wait_for "Commands: /rules and /wipe"
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
wait_for "exit status 4"  # the line that was not a session line

start TERM=xterm-256color NO_COLOR=1
keys "alice: /rules" Enter
wait_for "[alice] No building next to the spawn points."
# Without colour the console's answer names its colour.
keys "> Quorvane.Reload" Enter
wait_for "the server console's answer, in green: Reloaded config"
grep -q $'\e\\[38;2' "$work/screen" && fail "NO_COLOR still coloured the reply"
keys C-d
wait_for "exit status 0"
# Ctrl-D leaves the cursor on the prompt's line; the end is said on a line of its own.
grep -q "^devhost: session ended" "$work/screen" || fail "the session ended on the prompt's line"

echo "interactive test: prompt, help, colour, unreadable lines, completion, history, NO_COLOR," \
  "Ctrl-D and quit work"
