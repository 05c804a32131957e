#!/usr/bin/env python3
"""Serves FOLDER on 127.0.0.1 as a lead's web server would (an ETag, 304 to a GET whose
If-None-Match still matches) and appends a line "<unix ms> <status> <body bytes>" to LOG for
every answer, so that the team-of-200 benchmark can count requests, 304s and full downloads
in each second.
   team_server_counting.py FOLDER PORT_FILE LOG"""
import http.server, os, sys, threading, time, urllib.parse

folder, port_file, log_path = sys.argv[1:4]
log = open(log_path, "a", buffering=1)
log_lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        # The name as sent: percent-escaped UTF-8, or raw UTF-8 that the request line carries as
        # Latin-1.
        name = self.path.split("?")[0].encode("latin-1").decode("utf-8", "replace")
        path = os.path.join(folder, os.path.basename(urllib.parse.unquote(name)))
        try:
            body = open(path, "rb").read()
            st = os.stat(path)
        except OSError:
            return self.answer(404, b"")
        etag = '"%x-%x"' % (st.st_mtime_ns, st.st_size)
        if self.headers.get("If-None-Match") == etag:
            return self.answer(304, None, etag)
        self.answer(200, body, etag)

    def answer(self, status, body, etag=None):
        self.send_response(status)
        if etag:
            self.send_header("ETag", etag)
        if body is not None:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body:
            self.wfile.write(body)
        with log_lock:
            log.write("%d %d %d\n" % (time.time() * 1000, status, len(body or b"")))

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    request_queue_size = 256  # two hundred bars start at once


server = Server(("127.0.0.1", 0), Handler)
open(port_file, "w").write(str(server.server_address[1]))
server.serve_forever()
