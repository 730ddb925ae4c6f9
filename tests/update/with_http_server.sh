#!/usr/bin/env bash
# Runs a command while tests/update/http_server.py serves FOLDER on 127.0.0.1; the command finds
# the server's address in KESTRUNE_TEST_HTTP (http://127.0.0.1:PORT). Returns the command's status.
# Usage: with_http_server.sh FOLDER -- COMMAND [ARGS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
folder=$1
shift
[ "${1:-}" = "--" ] && shift
port_file=$(mktemp -u)
python3 "$here/http_server.py" "$folder" "$port_file" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$port_file"' EXIT
for _ in $(seq 100); do
  [ -s "$port_file" ] && break
  kill -0 "$server" 2>/dev/null || { echo "with_http_server: the server did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$port_file" ] || { echo "with_http_server: the server did not start" >&2; exit 1; }
export KESTRUNE_TEST_HTTP="http://127.0.0.1:$(cat "$port_file")"
"$@"
