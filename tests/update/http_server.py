#!/usr/bin/env python3
"""Loopback HTTP server for the transfer tests, with scripted misbehaviour.

    http_server.py start <state-dir>   serve in the background (detached)
    http_server.py stop <state-dir>    end the background server
    http_server.py serve <state-dir>   serve in the foreground

The server writes <state-dir>/server.txt with key=value lines:
    port            the HTTP server
    blackhole_port  a listening socket whose queue is full: connects hang
    closed_port     a port that was free a moment ago: connects are refused

Routes (one request per connection, always "Connection: close"):
    /file/<n>                 n pattern bytes with Content-Length
    /nolength/<n>             n pattern bytes, no Content-Length, ended by close
    /text/<percent-bytes>     the decoded bytes as body with Content-Length
    /status/<code>/<bytes>    the same with another status (error pages)
    /pause/<n>/<first>/<ms>   n pattern bytes, a pause of ms after the first ones
    /echo                     the request head as body
    /stall                    reads the request and never answers
    /stall-body/<n>           headers for n bytes, ten bytes, then silence
    /drip-body/<ms>           headers for 1 MB, then one byte every ms
    /drip-headers/<ms>        a status line, then one header byte every ms
    /endless                  body without length that never ends
    /short/<announced>/<n>    Content-Length announced, n pattern bytes, close
    /chunked/<mode>           a chunked body of 25000 pattern bytes; mode
                              whole (ends properly), nofinal (closed without
                              its last chunk), badsize (a chunk size "zz"),
                              hugesize (a chunk size of 2^64 - 1)
    /raw/<mode>               no proper reply: garbage (a status line that is
                              not HTTP), http09 (the body alone, no head)
    /redirect/<k>/<path>      k redirects (302), the last one to /<path>
    /loop/<tag>               302 to itself, counting the requests per tag
    /slowloop/<tag>/<ms>      the same after a pause of ms
    /hits/<tag>               the count of /loop and /slowloop requests so far

Pattern byte i is (7 * i + 3) % 251, so a test can check any file it got.
The server ends by itself after IDLE_SECONDS without a new connection, so
an interrupted test run leaves nothing behind for long.
"""

import os
import socket
import socketserver
import sys
import threading
import time
import urllib.parse

import loopback_server

IDLE_SECONDS = 600
PATTERN_PERIOD = 251
PATTERN_BLOCK = bytes((7 * i + 3) % PATTERN_PERIOD for i in range(PATTERN_PERIOD * 4096))

hits = {}
hits_lock = threading.Lock()


def pattern(offset, size):
    """size pattern bytes starting at pattern position offset."""
    out = bytearray()
    start = offset % PATTERN_PERIOD
    while len(out) < size:
        take = min(size - len(out), len(PATTERN_BLOCK) - start)
        out += PATTERN_BLOCK[start:start + take]
        start = 0
    return bytes(out)


def send_pattern(sock, offset, size):
    sent = 0
    while sent < size:
        # Whole blocks keep the phase, as the block length is a multiple of
        # the period.
        take = min(size - sent, len(PATTERN_BLOCK))
        if (offset + sent) % PATTERN_PERIOD == 0:
            sock.sendall(PATTERN_BLOCK[:take])
        else:
            sock.sendall(pattern(offset + sent, take))
        sent += take


def head(status, length=None, content_type="application/octet-stream", extra=()):
    reason = {200: "OK", 302: "Found", 304: "Not Modified", 404: "Not Found", 403: "Forbidden",
              500: "Internal Server Error"}.get(status, "Status")
    lines = ["HTTP/1.1 %d %s" % (status, reason), "Content-Type: " + content_type, "Connection: close"]
    if length is not None:
        lines.append("Content-Length: %d" % length)
    lines += extra
    return ("\r\n".join(lines) + "\r\n\r\n").encode("ascii")


def wait_for_close(sock, seconds):
    """Holds the connection until the client goes away or seconds pass."""
    sock.settimeout(seconds)
    try:
        while sock.recv(4096):
            pass
    except OSError:
        pass


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        loopback_server.note_activity()
        sock = self.request
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        request = b""
        sock.settimeout(30)
        try:
            while b"\r\n\r\n" not in request:
                data = sock.recv(4096)
                if not data:
                    return
                request += data
        except OSError:
            return
        request_head = request.split(b"\r\n\r\n", 1)[0] + b"\r\n\r\n"
        target = request_head.split(b" ", 2)[1].decode("ascii", "replace")
        parts = target.split("?", 1)[0].lstrip("/").split("/")
        try:
            self.route(sock, parts, request_head)
        except OSError:
            pass  # the client hung up, as the cancelling tests do

    def route(self, sock, parts, request_head):
        name = parts[0]
        args = parts[1:]
        if name == "file":
            size = int(args[0])
            sock.sendall(head(200, size))
            send_pattern(sock, 0, size)
        elif name == "nolength":
            size = int(args[0])
            sock.sendall(head(200))
            send_pattern(sock, 0, size)
        elif name == "text":
            body = urllib.parse.unquote_to_bytes("/".join(args))
            sock.sendall(head(200, len(body)) + body)
        elif name == "status":
            body = urllib.parse.unquote_to_bytes("/".join(args[1:]))
            sock.sendall(head(int(args[0]), len(body), "text/html") + body)
        elif name == "pause":
            size, first, ms = int(args[0]), int(args[1]), int(args[2])
            sock.sendall(head(200, size))
            send_pattern(sock, 0, first)
            time.sleep(ms / 1000.0)
            send_pattern(sock, first, size - first)
        elif name == "echo":
            sock.sendall(head(200, len(request_head)) + request_head)
        elif name == "stall":
            wait_for_close(sock, 120)
        elif name == "stall-body":
            sock.sendall(head(200, int(args[0])) + pattern(0, 10))
            wait_for_close(sock, 120)
        elif name == "drip-body":
            interval = int(args[0]) / 1000.0
            size = 1 << 20
            sock.sendall(head(200, size))
            deadline = time.monotonic() + 120
            offset = 0
            while offset < size and time.monotonic() < deadline:
                sock.sendall(pattern(offset, 1))
                offset += 1
                time.sleep(interval)
        elif name == "drip-headers":
            interval = int(args[0]) / 1000.0
            sock.sendall(b"HTTP/1.1 200 OK\r\nX-Drip: ")
            deadline = time.monotonic() + 120
            while time.monotonic() < deadline:
                sock.sendall(b"a")
                time.sleep(interval)
        elif name == "endless":
            sock.sendall(head(200))
            deadline = time.monotonic() + 120
            while time.monotonic() < deadline:
                sock.sendall(PATTERN_BLOCK[:65536])
        elif name == "short":
            sock.sendall(head(200, int(args[0])))
            send_pattern(sock, 0, int(args[1]))
        elif name == "chunked":
            self.chunked(sock, args[0])
        elif name == "raw":
            if args[0] == "garbage":
                sock.sendall(b"XYZZY 1.0.1.9 garbage\r\nContent-Length: 7\r\n\r\n1.0.1.9")
            else:
                sock.sendall(b"1.0.1.9")
        elif name == "redirect":
            left = int(args[0])
            rest = "/".join(args[1:])
            where = "/redirect/%d/%s" % (left - 1, rest) if left > 1 else "/" + rest
            sock.sendall(head(302, 0, extra=["Location: " + where]))
        elif name in ("loop", "slowloop"):
            with hits_lock:
                hits[args[0]] = hits.get(args[0], 0) + 1
            if name == "slowloop":
                time.sleep(int(args[1]) / 1000.0)
            sock.sendall(head(302, 0, extra=["Location: /" + "/".join(parts)]))
        elif name == "hits":
            with hits_lock:
                body = str(hits.get(args[0], 0)).encode("ascii")
            sock.sendall(head(200, len(body)) + body)
        else:
            body = b"<html><body>no such route</body></html>"
            sock.sendall(head(404, len(body), "text/html") + body)


    def chunked(self, sock, mode):
        body = pattern(0, 25000)
        sock.sendall(head(200, extra=["Transfer-Encoding: chunked"]))
        if mode == "badsize":
            sock.sendall(b"2710\r\n" + body[:10000] + b"\r\nzz\r\n" + body[10000:] + b"\r\n0\r\n\r\n")
        elif mode == "hugesize":
            sock.sendall(b"2710\r\n" + body[:10000] + b"\r\nFFFFFFFFFFFFFFFF\r\n" + body[10000:])
        else:
            for start in range(0, len(body), 10000):
                piece = body[start:start + 10000]
                sock.sendall(b"%x\r\n" % len(piece) + piece + b"\r\n")
            if mode == "whole":
                sock.sendall(b"0\r\n\r\n")


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def closed_port():
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def serve(state):
    os.makedirs(state, exist_ok=True)
    server = Server(("127.0.0.1", 0), Handler)
    hole_port, hole = loopback_server.blackhole()  # open while serving
    info = "port=%d\nblackhole_port=%d\nclosed_port=%d\n" % (server.server_address[1], hole_port, closed_port())
    loopback_server.serve_until_idle(state, server, info, IDLE_SECONDS)


def start(state):
    os.makedirs(state, exist_ok=True)
    stop(state)
    return loopback_server.start_detached(state, lambda: serve(state), "http_server")


def stop(state):
    return loopback_server.stop(state, __file__)


def main(argv):
    if len(argv) != 3 or argv[1] not in ("start", "stop", "serve"):
        print(__doc__, file=sys.stderr)
        return 2
    return {"start": start, "stop": stop, "serve": lambda s: serve(s) or 0}[argv[1]](argv[2])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
