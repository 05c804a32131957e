#!/usr/bin/env python3
"""A forward proxy on 127.0.0.1 as an office has one: it takes requests in absolute form
(GET http://name/path), writes each request line to LOG, and passes them on with their headers
to the server its map gives the name. It knows no other names (502), so an address with a name
only it knows is read through it or not at all.
   team_proxy.py PORT_FILE LOG NAME=HOST:PORT   (the port it took is written to PORT_FILE)"""
import http.client, http.server, sys, urllib.parse

NAMES = dict(pair.split("=", 1) for pair in sys.argv[3:])
HOP_BY_HOP = ("connection", "proxy-connection", "keep-alive", "transfer-encoding", "content-length")


class Proxy(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[2], "a") as log:
            log.write(self.requestline + "\n")
        url = urllib.parse.urlsplit(self.path)
        server = NAMES.get(url.hostname or "")
        if not server:
            self.send_error(502)
            return
        host, port = server.rsplit(":", 1)
        upstream = http.client.HTTPConnection(host, int(port), timeout=30)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in HOP_BY_HOP}
        upstream.request("GET", url.path + ("?" + url.query if url.query else ""), headers=headers)
        answer = upstream.getresponse()
        body = answer.read()
        self.send_response(answer.status)
        for k, v in answer.getheaders():
            if k.lower() not in HOP_BY_HOP:
                self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Proxy)
open(sys.argv[1], "w").write(str(server.server_address[1]))
server.serve_forever()
