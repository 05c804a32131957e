#!/usr/bin/env python3
"""Serves FOLDER on 127.0.0.1 as a lead's web server would: ETag and Last-Modified, and 304 to
a GET whose If-None-Match still matches. /slow sends its body a byte every 0.3 s, for minutes.
   team_server.py FOLDER PORT_FILE   (the port it took is written to PORT_FILE)"""
import functools, http.server, os, sys, time


class Handler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        path, self.etag = self.translate_path(self.path), None
        if self.path == "/slow":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            try:
                for _ in range(1000):
                    self.wfile.write(b"x")
                    self.wfile.flush()
                    time.sleep(0.3)
            except ConnectionError:
                pass  # the client gave up
            return None
        if os.path.isfile(path):
            st = os.stat(path)
            self.etag = '"%x-%x"' % (st.st_mtime_ns, st.st_size)
            if self.headers.get("If-None-Match") == self.etag:
                self.send_response(304)
                self.end_headers()
                return None
        return super().send_head()

    def end_headers(self):
        if self.etag:
            self.send_header("ETag", self.etag)
        super().end_headers()


server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
open(sys.argv[2], "w").write(str(server.server_address[1]))
server.serve_forever()
