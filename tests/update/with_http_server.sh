#!/usr/bin/env bash
# Runs a command while tests/update/http_server.py serves FOLDER (created when missing) on
# 127.0.0.1; the command finds the server's address in KESTRUNE_TEST_HTTP
# (http://127.0.0.1:PORT). The server is stopped afterwards; the command's exit status is returned.
# Usage: with_http_server.sh FOLDER -- COMMAND [ARGS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ $# -lt 3 ] || [ "$2" != "--" ]; then
  echo "usage: with_http_server.sh FOLDER -- COMMAND [ARGS...]" >&2
  exit 2
fi
folder=$1
shift 2
mkdir -p "$folder" || exit 1
state=$(mktemp -d) || exit 1
python3 "$here/http_server.py" "$folder" "$state/port" &
server=$!
stop_server() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$state"
}
trap stop_server EXIT
for _ in $(seq 100); do
  [ -s "$state/port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$state/port" ]; then
  echo "with_http_server: the server did not start" >&2
  exit 1
fi
export KESTRUNE_TEST_HTTP="http://127.0.0.1:$(cat "$state/port")"
"$@"
