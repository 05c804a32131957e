#!/usr/bin/env python3
"""A forward proxy on 127.0.0.1: it takes requests in absolute form (GET http://name/path),
writes each request line to LOG and passes the request on, headers and all, to the server its
map gives the name. Other names get 502, so an address with a name only it knows is read
through it or not at all.
   team_proxy.py PORT_FILE LOG NAME=HOST:PORT   (the port it took is written to PORT_FILE)"""
import http.client, http.server, sys, urllib.parse

NAMES = dict(pair.split("=", 1) for pair in sys.argv[3:])
PASSED = lambda headers: [(k, v) for k, v in headers if k.lower() not in (
    "connection", "proxy-connection", "keep-alive", "transfer-encoding", "content-length")]


class Proxy(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        open(sys.argv[2], "a").write(self.requestline + "\n")
        url = urllib.parse.urlsplit(self.path)
        if url.hostname not in NAMES:
            return self.send_error(502)
        upstream = http.client.HTTPConnection(NAMES[url.hostname], timeout=30)
        upstream.request("GET", url.path, headers=dict(PASSED(self.headers.items())))
        answer = upstream.getresponse()
        body = answer.read()
        self.send_response(answer.status)
        for k, v in PASSED(answer.getheaders()) + [("Content-Length", str(len(body)))]:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(body)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Proxy)
open(sys.argv[1], "w").write(str(server.server_address[1]))
server.serve_forever()
