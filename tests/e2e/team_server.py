#!/usr/bin/env python3
"""Serves FOLDER on 127.0.0.1 as a lead's web server would: ETag and Last-Modified, and 304 to
a GET whose If-None-Match still matches. /slow sends its body a byte every 0.3 s, for minutes;
/signin asks for Windows sign-in (401, Negotiate or NTLM) and never lets anyone in. Each request
is logged with its Cache-Control and Pragma headers.
While FOLDER/.answer holds a word, each file's answer is sent that way:
  chunked       whole, in chunks of 1000 bytes and the closing empty chunk
  cut-length    its first half up to a line end, then the connection closes; Content-Length
                says the whole
  cut-chunked   the same in chunks, and the connection closes without the closing chunk
  drip N        the next answer only: a byte a second for N seconds, then the rest
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
        if self.path == "/signin":
            self.send_response(401)
            for scheme in ("Negotiate", "NTLM"):
                self.send_header("WWW-Authenticate", scheme)
            self.end_headers()
            return None
        if os.path.isfile(path):
            st = os.stat(path)
            self.etag = '"%x-%x"' % (st.st_mtime_ns, st.st_size)
            if self.headers.get("If-None-Match") == self.etag:
                self.send_response(304)
                self.end_headers()
                return None
            how = self.answer_mode()
            if how:
                self.send_shaped(path, how)
                return None
        return super().send_head()

    def answer_mode(self):
        try:
            with open(os.path.join(self.directory, ".answer")) as f:
                return f.read().strip()
        except FileNotFoundError:
            return ""

    def send_shaped(self, path, how):
        body = open(path, "rb").read()
        if how.startswith("drip"):
            os.remove(os.path.join(self.directory, ".answer"))
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            try:
                for at in range(int(how.split()[1])):
                    self.wfile.write(body[at : at + 1])
                    self.wfile.flush()
                    time.sleep(1)
                self.wfile.write(body[int(how.split()[1]) :])
            except ConnectionError:
                pass  # the client gave up
            return
        cut = body[: body.rfind(b"\n", 0, len(body) // 2) + 1]  # what a cut leaves
        self.protocol_version = "HTTP/1.1"  # chunks need it
        self.close_connection = True
        self.send_response(200)
        if how == "cut-length":
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(cut)
            return
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        sent = body if how == "chunked" else cut
        for at in range(0, len(sent), 1000):
            piece = sent[at : at + 1000]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        if how == "chunked":
            self.wfile.write(b"0\r\n\r\n")

    def log_request(self, code="-", size="-"):
        self.log_message('"%s" %s %s cache=%s pragma=%s', self.requestline, code, size,
                         self.headers.get("Cache-Control"), self.headers.get("Pragma"))

    def end_headers(self):
        if self.etag:
            self.send_header("ETag", self.etag)
        super().end_headers()


server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
open(sys.argv[2], "w").write(str(server.server_address[1]))
server.serve_forever()
