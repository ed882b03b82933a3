#!/usr/bin/env python3
"""A loopback HTTP server for the update tests: serves a folder, plus a few misbehaving paths.

    http_server.py FOLDER      prints the port it listens on, then serves until killed

/hang            accepts the request and never answers
/redirect/PATH   302 to /PATH
/loop            302 to itself
"""
import http.server
import socketserver
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path == "/hang":
            time.sleep(120)
            return
        if self.path.startswith("/redirect/"):
            self.send_response(302)
            self.send_header("Location", "/" + self.path[len("/redirect/"):])
            self.end_headers()
            return
        if self.path == "/loop":
            self.send_response(302)
            self.send_header("Location", "/loop")
            self.end_headers()
            return
        super().do_GET()


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    folder = sys.argv[1]
    handler = lambda *a, **k: Handler(*a, directory=folder, **k)
    with Server(("127.0.0.1", 0), handler) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
