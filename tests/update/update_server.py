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
The server ends by itself after IDLE_SECONDS without a request.
"""

import http.server
import os
import signal
import socket
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import update_fixtures  # noqa: E402

IDLE_SECONDS = 900
last_request = time.monotonic()
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
        global last_request
        last_request = time.monotonic()
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


def blackhole():
    """A listener whose accept queue is full: new connects hang."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    fillers = []
    for _ in range(4):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setblocking(False)
        try:
            s.connect(listener.getsockname())
        except BlockingIOError:
            pass
        fillers.append(s)
    time.sleep(0.2)
    return listener, fillers


def serve(state):
    global docroot
    docroot = os.path.join(state, "docroot")
    server = Server(("127.0.0.1", 0), Handler)
    hole = blackhole()
    info = "port=%d\nblackhole_port=%d\n" % (server.server_address[1], hole[0].getsockname()[1])
    with open(os.path.join(state, "server.pid"), "w") as f:
        f.write(str(os.getpid()))
    with open(os.path.join(state, "server.txt.tmp"), "w") as f:
        f.write(info)
    os.replace(os.path.join(state, "server.txt.tmp"), os.path.join(state, "server.txt"))

    def idle_watch():
        while time.monotonic() - last_request < IDLE_SECONDS:
            time.sleep(5)
        server.shutdown()

    threading.Thread(target=idle_watch, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    server.serve_forever(poll_interval=0.2)


def start(state, probe):
    os.makedirs(state, exist_ok=True)
    stop(state)
    count = update_fixtures.build(state, probe)
    print("%d hostile archives in %s" % (count, os.path.join(state, "corpus")))
    # CTest waits for every holder of its pipes: the server keeps none.
    pid = os.fork()
    if pid == 0:
        os.setsid()
        null = os.open(os.devnull, os.O_RDWR)
        log = os.open(os.path.join(state, "server.log"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        os.dup2(null, 0)
        os.dup2(log, 1)
        os.dup2(log, 2)
        try:
            serve(state)
        finally:
            os._exit(0)
    for _ in range(200):
        if os.path.exists(os.path.join(state, "server.txt")):
            print(open(os.path.join(state, "server.txt")).read(), end="")
            return 0
        time.sleep(0.05)
    print("update_server: did not start", file=sys.stderr)
    return 1


def stop(state):
    pid_file = os.path.join(state, "server.pid")
    try:
        pid = int(open(pid_file).read())
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            ours = os.path.basename(__file__).encode() in f.read()
    except (OSError, ValueError):
        ours = False
    if ours:
        try:
            os.kill(pid, signal.SIGTERM)
            for _ in range(100):
                os.kill(pid, 0)
                time.sleep(0.05)
        except ProcessLookupError:
            pass
    for name in ("server.txt", "server.pid"):
        try:
            os.remove(os.path.join(state, name))
        except OSError:
            pass
    return 0


def main(argv):
    if len(argv) == 4 and argv[1] == "start":
        return start(argv[2], argv[3])
    if len(argv) == 3 and argv[1] == "stop":
        return stop(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
