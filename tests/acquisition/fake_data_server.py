#!/usr/bin/env python3
"""A stand-in for the data server of the download tests.

Usage: fake_data_server.py FOLDER
Listens on 127.0.0.1 at a free port and prints the port as its first line. A GET of
/NAME?QUERY answers with FOLDER/files/NAME: status 200, the content type of its kind
("text/plain" for .txt, "application/x-zip-compressed" for .zip) and its exact length;
a missing file gets a 404 page. FOLDER/faults.json, read at every request, scripts the
answer for a NAME instead:
  {"NAME": {"status": "HTTP/1.1 302 Found",      # the status line sent
            "headers": ["Content-Type: text/plain"],  # exact header lines (replace the default)
            "body": "text",                     # else the file's bytes
            "length": "123" | null,             # Content-Length sent; null sends none
            "cut": 10,                          # bytes of the body sent before closing
            "trickle": 0.2,                     # seconds between the body's bytes
            "hold": 30,                         # seconds to wait after the body, open
            "silent": true}}                    # accept and never answer
Every request line is appended to FOLDER/requests.log.
"""
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

FOLDER = sys.argv[1]
LOG_LOCK = threading.Lock()

KINDS = {".txt": "text/plain", ".zip": "application/x-zip-compressed"}


def faults():
    try:
        with open(os.path.join(FOLDER, "faults.json"), encoding="utf-8") as f:
            return json.load(f)
    except FileNotFoundError:
        return {}


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        with LOG_LOCK, open(os.path.join(FOLDER, "requests.log"), "a", encoding="utf-8") as log:
            log.write(self.requestline + "\n")
        name = self.path.split("?", 1)[0].lstrip("/")
        fault = faults().get(name, {})
        if fault.get("silent"):
            time.sleep(120)
            return
        path = os.path.join(FOLDER, "files", name)
        if "body" in fault:
            body = fault["body"].encode("utf-8")
            found = True
        elif os.path.isfile(path):
            with open(path, "rb") as f:
                body = f.read()
            found = True
        else:
            body = b"<html><body>Not Found</body></html>"
            found = False
        status = fault.get("status", "HTTP/1.1 200 OK" if found else "HTTP/1.1 404 Not Found")
        kind = KINDS.get(os.path.splitext(name)[1], "application/octet-stream") if found else "text/html"
        headers = fault.get("headers", ["Content-Type: " + kind])
        length = fault.get("length", str(len(body)))
        lines = [status] + headers + ["Connection: close"]
        if length is not None:
            lines.append("Content-Length: " + length)
        self.wfile.write(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))
        body = body[: fault.get("cut", len(body))]
        if "trickle" in fault:
            for i in range(len(body)):
                self.wfile.write(body[i : i + 1])
                self.wfile.flush()
                time.sleep(fault["trickle"])
        else:
            self.wfile.write(body)
        self.wfile.flush()
        time.sleep(fault.get("hold", 0))
        self.close_connection = True


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
