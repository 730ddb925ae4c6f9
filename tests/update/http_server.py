#!/usr/bin/env python3
"""A small HTTP server for the update's tests: serves FOLDER on 127.0.0.1 and can misbehave.

Paths choose the behaviour:
  /FILE               the file, with its length
  /404/...            404 Not Found
  /nolength/FILE      the file without a Content-Length (the connection closes at its end)
  /empty/FILE         200 with an empty body and Content-Length 0
  /cut/N/FILE         announces the whole length, sends N bytes and closes
  /slow/MS/FILE       the file in 4,096-byte blocks with MS milliseconds between them

Usage: http_server.py FOLDER PORT_FILE   (the chosen port is written to PORT_FILE)
"""
import http.server
import os
import socketserver
import sys
import time

BLOCK = 4096


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *arguments):
        pass

    def file_bytes(self, relative):
        path = os.path.realpath(os.path.join(self.server.folder, relative.lstrip("/")))
        if not path.startswith(self.server.folder + os.sep) or not os.path.isfile(path):
            return None
        with open(path, "rb") as file:
            return file.read()

    def answer(self, status, body, length=True, close=False):
        self.send_response(status)
        if length is True:
            self.send_header("Content-Length", str(len(body)))
        elif length is not False:
            self.send_header("Content-Length", str(length))
        if close or length is False:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        return body

    def do_GET(self):
        parts = self.path.split("?", 1)[0].split("/")[1:]
        mode = parts[0] if parts else ""
        try:
            if mode == "404":
                self.wfile.write(self.answer(404, b"not found"))
                return
            if mode in ("nolength", "empty"):
                data = self.file_bytes("/".join(parts[1:]))
                if data is None:
                    self.wfile.write(self.answer(404, b"not found"))
                elif mode == "empty":
                    self.wfile.write(self.answer(200, b""))
                else:
                    self.wfile.write(self.answer(200, data, length=False))
                return
            if mode == "cut":
                sent, data = int(parts[1]), self.file_bytes("/".join(parts[2:]))
                if data is None:
                    self.wfile.write(self.answer(404, b"not found"))
                    return
                self.answer(200, b"", length=len(data), close=True)
                self.wfile.write(data[:sent])
                self.wfile.flush()
                return
            if mode == "slow":
                pause, data = int(parts[1]) / 1000.0, self.file_bytes("/".join(parts[2:]))
                if data is None:
                    self.wfile.write(self.answer(404, b"not found"))
                    return
                self.answer(200, b"")
                for start in range(0, len(data), BLOCK):
                    self.wfile.write(data[start:start + BLOCK])
                    self.wfile.flush()
                    time.sleep(pause)
                return
            data = self.file_bytes("/".join(parts))
            if data is None:
                self.wfile.write(self.answer(404, b"not found"))
            else:
                self.wfile.write(self.answer(200, data))
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    folder, port_file = os.path.realpath(sys.argv[1]), sys.argv[2]
    server = Server(("127.0.0.1", 0), Handler)
    server.folder = folder
    with open(port_file + ".part", "w") as file:
        file.write(str(server.server_address[1]))
    os.replace(port_file + ".part", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
