#!/usr/bin/env bash
# Records one session of the library again, as a player at a real 80 by 24
# terminal would play it (tmux), from its key script NAME.keys:
#
#   tests/recordings/record.sh NAME [GAME]
#
# GAME defaults to build/play/ossivar (the play command's build). The
# session starts in a fresh folder with the repository's data/; when
# NAME.before exists, that key script is played there first, unrecorded for
# the library, to leave a save behind (a Continue starts from one). The new
# recording replaces NAME.cast; the test command replays it from then on.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
name=${1:?usage: record.sh NAME [GAME]}
game=$(readlink -f "${2:-$root/build/play/ossivar}")
[[ -f $here/$name.keys ]] || { echo "record.sh: no $here/$name.keys" >&2; exit 2; }
[[ -x $game ]] || { echo "record.sh: no game at $game (run scripts/play.sh once, or name one)" >&2; exit 2; }
command -v tmux >/dev/null || { echo "record.sh: needs tmux" >&2; exit 2; }

folder=$(mktemp -d)
trap 'tmux kill-session -t "$session" 2>/dev/null || true; rm -rf "$folder"' EXIT
mkdir "$folder/data"
cp "$root/data/Core Data.tov" "$folder/data/"
session=ossivar-record-$$

# k KEYS...: one step of the player, who waits to see the screen first.
k() {
  tmux send-keys -t "$session" "$@"
  sleep "${pause:-0.15}"
}

# fight STEPS [COMMAND]: a player who reads the screen. At each command
# prompt gives COMMAND (default 0, attack) and, when a target is asked
# for, the first enemy still standing; any other screen gets Enter.
fight() {
  local steps=$1 command=${2:-0} screen target
  for _ in $(seq "$steps"); do
    screen=$(tmux capture-pane -p -t "$session")
    if grep -q 'Command for' <<<"$screen"; then
      k "$command" Enter
      # A screen caught half drawn shows no roster: the first enemy then.
      if [[ $command == 0 ]]; then
        target=$(first_standing <<<"$screen")
        k "${target:-0}" Enter
      fi
    else
      k Enter
    fi
  done
}

# The enemy roster is the right-hand column under the party names.
first_standing() {
  awk '/^        Player / { on = 1; next }
       on && substr($0, 44) ~ / HP / { if (substr($0, 44) !~ /DEAD/) { print n + 0; exit } n++ }'
}

play() { # KEYS_FILE: one run of the game from its start to its end
  tmux new-session -d -x 80 -y 24 -s "$session" "cd '$folder' && '$game'"
  sleep 0.5
  # shellcheck source=/dev/null
  source "$1"
  for _ in $(seq 50); do
    tmux has-session -t "$session" 2>/dev/null || return 0
    sleep 0.1
  done
  echo "record.sh: the game did not end after $1" >&2
  exit 1
}

[[ -f $here/$name.before ]] && play "$here/$name.before"
play "$here/$name.keys"
newest=$(ls "$folder/data/recordings/"*.cast | sort | tail -n 1)
cp "$newest" "$here/$name.cast"
echo "record.sh: $here/$name.cast ($(wc -c <"$here/$name.cast") bytes)"
