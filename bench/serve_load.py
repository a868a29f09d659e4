#!/usr/bin/env python3
"""Many keep-alive connections against an HTTP server on loopback, one selector loop.

Opens CONNECTIONS connections (at most BURST handshakes in flight); each sends a GET for PATH as
soon as it is connected and reads the answer (a head, then Content-Length bytes). When every one
has its answer they are held idle for IDLE seconds, then each sends a second request on the same
connection, which must be answered too. Beside them one slow client sends its request one byte
per second from the start: the others must all be answered while it is still sending, and the
server must end it (head deadline) without an answer and without losing the others.

Prints one line per phase with its time and, given --pid, the server's resident memory. Exits 0
when every check held, 1 otherwise; every wait is bounded by --limit seconds.

Usage: serve_load.py --port P [--connections 10000] [--path /small.bin] [--idle 3] [--pid PID]
"""
import argparse
import errno
import resource
import selectors
import socket
import sys
import time


def rss_kb(pid):
    if not pid:
        return None
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


class Conn:
    __slots__ = ("sock", "out", "inbuf", "need", "answers", "state")

    def __init__(self, sock):
        self.sock = sock
        self.out = b""
        self.inbuf = bytearray()
        self.need = None  # bytes of the answer still to come once its head is read
        self.answers = 0
        self.state = "connecting"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--host", default="127.0.0.1")
    ap.add_argument("--connections", type=int, default=10000)
    ap.add_argument("--burst", type=int, default=1000)
    ap.add_argument("--path", default="/small.bin")
    ap.add_argument("--idle", type=float, default=3.0)
    ap.add_argument("--pid", type=int, default=0)
    ap.add_argument("--limit", type=float, default=60.0)
    ap.add_argument("--slow", type=int, default=1, help="1: run the slow client beside the others")
    a = ap.parse_args()
    if a.host not in ("127.0.0.1", "::1", "localhost"):
        sys.exit("serve_load.py only talks to loopback")

    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if soft < a.connections + 100 and soft < hard:
        resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    request = f"GET {a.path} HTTP/1.1\r\nHost: {a.host}\r\n\r\n".encode()
    sel = selectors.DefaultSelector()
    fails = []

    # The slow client: one byte per second, from the start.
    slow = None
    slow_text = request
    slow_sent = 0
    slow_next = 0.0
    slow_end = None  # when the server ended the slow client
    if a.slow:
        slow = socket.create_connection((a.host, a.port), timeout=5)
        slow.setblocking(False)
        slow_next = time.monotonic()
        sel.register(slow, selectors.EVENT_READ, "slow")

    conns = []
    pending_connects = 0
    opened = 0
    answered = 0
    round_no = 1

    def open_more():
        nonlocal opened, pending_connects
        while opened < a.connections and pending_connects < a.burst:
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.setblocking(False)
            rc = s.connect_ex((a.host, a.port))
            if rc not in (0, errno.EINPROGRESS):
                fails.append(f"connect: {errno.errorcode.get(rc, rc)}")
                s.close()
                return False
            c = Conn(s)
            conns.append(c)
            sel.register(s, selectors.EVENT_WRITE, c)
            opened += 1
            pending_connects += 1
        return True

    def send(c):
        try:
            n = c.sock.send(c.out)
        except BlockingIOError:
            return True
        except OSError as e:
            fails.append(f"send: {e}")
            return False
        c.out = c.out[n:]
        sel.modify(c.sock, selectors.EVENT_READ if not c.out else selectors.EVENT_READ | selectors.EVENT_WRITE, c)
        return True

    def on_readable(c):
        nonlocal answered
        try:
            data = c.sock.recv(65536)
        except BlockingIOError:
            return True
        except OSError as e:
            fails.append(f"recv: {e}")
            return False
        if not data:
            fails.append(f"the server closed a connection after {c.answers} answers")
            sel.unregister(c.sock)
            c.state = "closed"
            return False
        c.inbuf += data
        while True:
            if c.need is None:
                end = c.inbuf.find(b"\r\n\r\n")
                if end < 0:
                    return True
                head = bytes(c.inbuf[:end]).decode("latin-1")
                if not head.startswith("HTTP/1.1 200 "):
                    fails.append("answer: " + head.split("\r\n")[0])
                length = 0
                for line in head.split("\r\n")[1:]:
                    k, _, v = line.partition(":")
                    if k.lower() == "content-length":
                        length = int(v.strip())
                del c.inbuf[: end + 4]
                c.need = length
            if len(c.inbuf) < c.need:
                return True
            del c.inbuf[: c.need]
            c.need = None
            c.answers += 1
            if c.answers == round_no:
                answered += 1
            if not c.inbuf:
                return True

    def drive(until, deadline):
        """Runs the loop until until() holds; False at the deadline."""
        nonlocal pending_connects, slow_sent, slow_next, slow_end
        while not until():
            now = time.monotonic()
            if now > deadline:
                return False
            if slow is not None and slow_sent < len(slow_text) and now >= slow_next:
                try:
                    slow_sent += slow.send(slow_text[slow_sent:slow_sent + 1])
                except OSError:
                    slow_sent = len(slow_text)  # ended by the server
                slow_next += 1.0
            for key, ev in sel.select(timeout=0.05):
                c = key.data
                if c == "slow":
                    try:
                        got = slow.recv(1)
                    except OSError:
                        got = b""
                    if got:
                        fails.append("the slow client got an answer to a request it never finished")
                        return False
                    sel.unregister(slow)
                    slow_end = time.monotonic()
                    continue
                if c.state == "connecting":
                    err = c.sock.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR)
                    pending_connects -= 1
                    if err:
                        fails.append(f"connect: {errno.errorcode.get(err, err)}")
                        sel.unregister(c.sock)
                        c.state = "closed"
                        continue
                    c.state = "open"
                    c.out = request
                    if not send(c):
                        return False
                    continue
                if ev & selectors.EVENT_WRITE and c.out and not send(c):
                    return False
                if ev & selectors.EVENT_READ and not on_readable(c):
                    return False
            if not open_more():
                return False
        return True

    def report(phase, t0):
        mem = rss_kb(a.pid)
        extra = f", server {mem / 1024:.1f} MiB resident" if mem is not None else ""
        print(f"{phase}: {answered} of {a.connections} answered in {time.monotonic() - t0:.2f} s{extra}", flush=True)

    t0 = time.monotonic()
    ok = drive(lambda: answered == a.connections, t0 + a.limit)
    report("connect and first request", t0)
    if not ok or fails:
        print("FAIL:", "; ".join(fails[:5]) or "not every connection was answered in time")
        return 1
    if slow is not None and slow_end is not None:
        print("FAIL: the slow client was ended before the others were answered")
        return 1
    t_idle = time.monotonic() + a.idle
    drive(lambda: time.monotonic() >= t_idle, t_idle + 1)
    # A server that dropped idle connections shows it here: a readable socket with no data.
    t1 = time.monotonic()
    round_no = 2
    answered = 0
    for c in conns:
        c.out = request
        if not send(c):
            break
    ok = drive(lambda: answered == a.connections, t1 + a.limit)
    report(f"second request after {a.idle:.0f} s idle", t1)
    if not ok or fails:
        print("FAIL:", "; ".join(fails[:5]) or "not every connection was answered again in time")
        return 1
    if slow is not None:
        # The slow client is ended by the head deadline, with no answer, while it is still sending.
        t2 = time.monotonic()
        ok = drive(lambda: slow_end is not None, t2 + a.limit)
        if not ok or fails:
            print("FAIL:", "; ".join(fails[:5]) or "the slow client was not ended")
            return 1
        print(f"slow client: ended by the server after {slow_end - t0:.1f} s, "
              f"having sent {slow_sent} of {len(slow_text)} bytes", flush=True)
    for c in conns:
        c.sock.close()
    print(f"{a.connections} connections passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
