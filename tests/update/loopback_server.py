"""What the loopback test servers share: a port whose connects hang, the
state folder's server.txt and server.pid, an end after a quiet spell, and
a detached start and a stop that CTest does not wait for.

A server calls note_activity() on each request; serve_until_idle() ends it
after idle_seconds without one."""

import os
import signal
import socket
import sys
import threading
import time

_last_activity = time.monotonic()


def note_activity():
    global _last_activity
    _last_activity = time.monotonic()


def blackhole():
    """A listening socket whose accept queue is full: the kernel drops new
    SYNs, so a client's connect hangs as with an unreachable host. Returns
    the port and the sockets, which must stay open while it is used."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    port = listener.getsockname()[1]
    fillers = []
    for _ in range(4):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setblocking(False)
        try:
            s.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        fillers.append(s)
    time.sleep(0.2)
    return port, (listener, fillers)


def _withdraw(state):
    for name in ("server.txt", "server.pid"):
        try:
            os.remove(os.path.join(state, name))
        except OSError:
            pass


def serve_until_idle(state, server, info, idle_seconds):
    """Publishes info as <state>/server.txt, after the pid file so that a
    stop finds every server that was seen, and serves until SIGTERM or
    idle_seconds without activity."""
    with open(os.path.join(state, "server.pid"), "w") as f:
        f.write(str(os.getpid()))
    tmp = os.path.join(state, "server.txt.tmp")
    with open(tmp, "w") as f:
        f.write(info)
    os.replace(tmp, os.path.join(state, "server.txt"))

    def idle_watch():
        while time.monotonic() - _last_activity < idle_seconds:
            time.sleep(5)
        server.shutdown()

    threading.Thread(target=idle_watch, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    server.serve_forever(poll_interval=0.2)
    _withdraw(state)


def start_detached(state, serve, name):
    """Runs serve() in a process of its own and prints server.txt once it
    is there; 0, or 1 when it did not come."""
    info = os.path.join(state, "server.txt")
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
            serve()
        finally:
            os._exit(0)
    for _ in range(200):
        if os.path.exists(info):
            print(open(info).read(), end="")
            return 0
        time.sleep(0.05)
    print("%s: did not start" % name, file=sys.stderr)
    return 1


def _started_from(pid, script):
    """A pid file left behind by a killed run may name a process that is
    not the server any more."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return os.path.basename(script).encode() in f.read()
    except OSError:
        return False


def stop(state, script):
    """Ends the server of state if its process still runs script."""
    try:
        pid = int(open(os.path.join(state, "server.pid")).read())
    except (OSError, ValueError):
        pid = None
    if pid is not None and _started_from(pid, script):
        try:
            os.kill(pid, signal.SIGTERM)
            for _ in range(100):
                os.kill(pid, 0)
                time.sleep(0.05)
        except ProcessLookupError:
            pass
    _withdraw(state)
    return 0
