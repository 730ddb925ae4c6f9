#!/usr/bin/env python3
"""A small HTTP server for the update's tests: serves FOLDER on 127.0.0.1 and can misbehave.

The first part of the path chooses the behaviour (the query is ignored):
  /FILE               the file, with its length
  /404/...            404 Not Found
  /nolength/FILE      the file without a Content-Length (the connection closes at its end)
  /empty/FILE         200 with an empty body and Content-Length 0
  /cut/N/FILE         announces the whole length, sends N bytes and closes
  /slow/MS/FILE       the file in 4,096-byte blocks with MS milliseconds between them

A file that is not in FOLDER gives 404, a malformed N or MS 400.

Usage: http_server.py FOLDER PORT_FILE
  Listens on a free port and writes its number to PORT_FILE (atomically) once it accepts
  connections; runs until it is terminated.
"""
import http.server
import os
import sys
import time
import urllib.parse

SLOW_BLOCK = 4096
BLOCK = 65536


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *arguments):
        pass

    def do_GET(self):
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        parts = path.lstrip("/").split("/")
        mode, rest = parts[0], parts[1:]
        try:
            if mode == "404":
                self.send_text(404, b"not found")
            elif mode == "nolength":
                self.send_file(rest, announce=False)
            elif mode == "empty":
                self.send_file(rest, limit=0)
            elif mode == "cut":
                self.send_file(rest[1:], limit=int(rest[0]), announce_whole=True)
            elif mode == "slow":
                self.send_file(rest[1:], pause=int(rest[0]) / 1000.0)
            else:
                self.send_file(parts)
        except (IndexError, ValueError):
            self.send_text(400, b"bad request")
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def send_text(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def local_file(self, parts):
        root = self.server.folder
        path = os.path.realpath(os.path.join(root, *parts)) if parts else root
        return path if path.startswith(root + os.sep) and os.path.isfile(path) else None

    def send_file(self, parts, announce=True, limit=None, announce_whole=False, pause=0.0):
        """Sends the file, or its first limit bytes; Content-Length is what is sent, the whole
        file (announce_whole) or absent (announce=False, the end of the connection ends it)."""
        path = self.local_file(parts)
        if path is None:
            self.send_text(404, b"not found")
            return
        size = os.path.getsize(path)
        sent = size if limit is None else min(limit, size)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if announce:
            self.send_header("Content-Length", str(size if announce_whole else sent))
        if not announce or (announce_whole and sent < size):
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        block = SLOW_BLOCK if pause else BLOCK
        with open(path, "rb") as file:
            while sent > 0:
                data = file.read(min(block, sent))
                if not data:
                    break
                self.wfile.write(data)
                sent -= len(data)
                if pause:
                    self.wfile.flush()
                    time.sleep(pause)
        self.wfile.flush()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: http_server.py FOLDER PORT_FILE")
    folder, port_file = os.path.realpath(sys.argv[1]), sys.argv[2]
    server = Server(("127.0.0.1", 0), Handler)
    server.folder = folder
    with open(port_file + ".part", "w") as file:
        file.write(str(server.server_address[1]))
    os.replace(port_file + ".part", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
