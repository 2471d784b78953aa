#!/usr/bin/env bash
# The README's play command, as a player runs it on a fresh clone: on a copy
# of the sources with no build folder, it configures, builds and starts the
# game from the repository root; the game shows its title and quits on "q".
#
#   play_command.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT

for part in CMakeLists.txt LICENSE cmake man scripts src tools data content; do
  cp -R "$source_dir/$part" "$copy/"
done
rm -f "$copy"/data/save01.tov "$copy"/data/~*

output=$(printf 'q\nk' | "$copy/scripts/play.sh" 2>&1) || {
  echo "$output"
  echo "play_command: the play command failed" >&2
  exit 1
}
if ! grep -q '\[N\]ew Game' <<<"$output" || ! grep -q 'vanquished\.' <<<"$output"; then
  echo "$output"
  echo "play_command: the game did not show its title and farewell" >&2
  exit 1
fi
