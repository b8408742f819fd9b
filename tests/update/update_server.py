#!/usr/bin/env python3
"""Loopback update server for the update tests, with packages and a hostile
archive corpus made at start (update_fixtures.py).

    update_server.py start <state-dir> <probe.exe>   build files, serve detached
    update_server.py stop <state-dir>                end the server

<state-dir>/server.txt holds key=value lines: port (this server),
blackhole_port (connects hang, as with an unreachable host).

Routes:
    /case/<case>/<path>   the file docroot/<case>/<path>; repeated slashes
                          count as one, as object stores treat them
    /status/<code>/...    that status with its reason phrase as the body
                          ("Not Found", 9 characters, for 404)
    /stall/...            reads the request and never answers
    /drip/...             a 200 head for 1000 bytes, then a byte every 500 ms
    /slow/<ms>/<rate>/<case>/<path>
                          the file of /case/<case>/<path>, held <ms> before
                          the head, then sent at <rate> bytes a second (a
                          version file of a few bytes comes in one go)
The server ends by itself after IDLE_SECONDS without a request.
"""

import http.server
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import loopback_server  # noqa: E402
import update_fixtures  # noqa: E402

IDLE_SECONDS = 900
docroot = None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (time.strftime("%H:%M:%S"), fmt % args))

    def send_body(self, status, body, content_type="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        loopback_server.note_activity()
        self.close_connection = True
        parts = [p for p in self.path.split("?")[0].split("/") if p]
        if not parts:
            return self.send_body(404, b"Not Found")
        kind = parts[0]
        if kind == "case" and len(parts) >= 2:
            path = os.path.join(docroot, *parts[1:])
            real = os.path.realpath(path)
            if real.startswith(os.path.realpath(docroot) + os.sep) and os.path.isfile(real):
                with open(real, "rb") as f:
                    return self.send_body(200, f.read())
            return self.send_body(404, b"Not Found", "text/plain")
        if kind == "status" and len(parts) >= 2:
            code = int(parts[1])
            return self.send_body(code, self.responses.get(code, ("Status",))[0].encode(), "text/plain")
        if kind == "slow" and len(parts) >= 4:
            return self.send_slowly(int(parts[1]) / 1000.0, max(1, int(parts[2])), parts[3:])
        if kind == "stall":
            return self.hold(None)
        if kind == "drip":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.flush()
            return self.hold(0.5)
        return self.send_body(404, b"Not Found", "text/plain")

    def send_slowly(self, hold_seconds, rate, case_path):
        time.sleep(hold_seconds)
        path = os.path.realpath(os.path.join(docroot, *case_path))
        if not (path.startswith(os.path.realpath(docroot) + os.sep) and os.path.isfile(path)):
            return self.send_body(404, b"Not Found", "text/plain")
        with open(path, "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        # Twenty slices a second, so the pace is even at any rate.
        slice_bytes = max(1, rate // 20)
        try:
            for start in range(0, len(body), slice_bytes):
                self.wfile.write(body[start:start + slice_bytes])
                self.wfile.flush()
                if start + slice_bytes < len(body):
                    time.sleep(0.05)
                    loopback_server.note_activity()
        except OSError:
            return

    def hold(self, drip_interval):
        """Keeps the connection until the client leaves or 300 s pass,
        sending one byte per interval when dripping."""
        end = time.monotonic() + 300
        while time.monotonic() < end:
            time.sleep(drip_interval or 0.5)
            try:
                if drip_interval:
                    self.wfile.write(b"1")
                    self.wfile.flush()
            except OSError:
                return


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def serve(state):
    global docroot
    docroot = os.path.join(state, "docroot")
    server = Server(("127.0.0.1", 0), Handler)
    hole_port, hole = loopback_server.blackhole()  # open while serving
    info = "port=%d\nblackhole_port=%d\n" % (server.server_address[1], hole_port)
    loopback_server.serve_until_idle(state, server, info, IDLE_SECONDS)


def start(state, probe):
    os.makedirs(state, exist_ok=True)
    stop(state)
    count = update_fixtures.build(state, probe)
    print("%d hostile archives in %s" % (count, os.path.join(state, "corpus")))
    return loopback_server.start_detached(state, lambda: serve(state), "update_server")


def stop(state):
    return loopback_server.stop(state, __file__)


def main(argv):
    if len(argv) == 4 and argv[1] == "start":
        return start(argv[2], argv[3])
    if len(argv) == 3 and argv[1] == "stop":
        return stop(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
