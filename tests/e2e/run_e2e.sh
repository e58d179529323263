#!/usr/bin/env bash
# Starts the real program under a virtual display in a temporary working
# directory, checks its window title, takes a screenshot, closes it with the
# close box and expects exit code 0 with no dialog in between.
#   run_e2e.sh PROGRAM OUTPUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

inner() {
  program=$1 out=$2 work=$3
  cd "$work"
  unset QT_QPA_PLATFORM
  "$program" &
  pid=$!
  title="Quorlin Using RTF Files -  Version 1.0   build: 4.30"
  window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [[ -n "$window" ]] && break
    sleep 0.1
  done
  if [[ -z "$window" ]]; then
    echo "window with the exact title did not appear" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
  fi
  [[ "$(xdotool getwindowname "$window")" == "$title" ]] || { echo "title differs" >&2; exit 1; }
  sleep 1
  import -window root "$out/e2e-screenshot.png"
  python3 "$here/close_window.py" "$window"
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "program still running after the close box (a dialog?)" >&2
    import -window root "$out/e2e-stuck.png" || true
    kill "$pid"
    exit 1
  fi
  wait "$pid"
}
if [[ "${1:-}" == "--inner" ]]; then
  shift
  inner "$@"
  exit
fi

program=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/RTF Folder"
for name in Intro Setup Usage; do
  printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 \\b %s\\b0  topic text.\\par}' "$name" > "$work/RTF Folder/$name.rtf"
done
xvfb-run -a -s "-screen 0 1600x900x24" "$here/run_e2e.sh" --inner "$program" "$out" "$work"
echo "end to end: window shown, closed with exit code 0"
