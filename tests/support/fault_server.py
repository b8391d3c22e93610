#!/usr/bin/env python3
"""Servers on loopback that fail a MySQL client in the ways a network does.

  fault_server.py mute              accepts connections and never sends a byte (no greeting)
  fault_server.py deaf              listens with a full accept queue: a connect gets no answer
  fault_server.py cut PORT LIMIT    forwards to 127.0.0.1:PORT and closes both sides of a
                                    connection once LIMIT bytes came from its client

It prints its port on the first line of stdout, then "accepted" for every connection it takes
and "cut" when it has cut one. It ends when its stdin closes (the test ends) or after five
minutes, whichever comes first.
"""
import os
import select
import socket
import sys
import time

LIFETIME = 300


def say(text):
    print(text, flush=True)


def listener(backlog):
    sock = socket.socket()
    sock.bind(("127.0.0.1", 0))
    sock.listen(backlog)
    return sock


def fill_accept_queue(sock):
    # The kernel drops further SYNs while the queue is full: connects see nothing at all.
    port = sock.getsockname()[1]
    fillers = []
    for _ in range(4):
        filler = socket.socket()
        filler.setblocking(False)
        try:
            filler.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        fillers.append(filler)
    time.sleep(0.3)
    return fillers


class Cut:
    """One forwarded connection that is cut after `limit` bytes from the client."""

    def __init__(self, client, target_port, limit):
        self.client = client
        self.server = socket.create_connection(("127.0.0.1", target_port), timeout=10)
        self.left = limit

    def sockets(self):
        return [self.client, self.server]

    def pump(self, ready):
        """Forwards what is ready; False when the connection is over."""
        if self.server in ready:
            data = self.server.recv(65536)
            if not data:
                return False
            self.client.sendall(data)
        if self.client in ready:
            data = self.client.recv(min(65536, self.left))
            if not data:
                return False
            self.server.sendall(data)
            self.left -= len(data)
            if self.left == 0:
                say("cut")
                return False
        return True

    def close(self):
        for sock in self.sockets():
            sock.close()


def main():
    mode = sys.argv[1]
    sock = listener(0 if mode == "deaf" else 16)
    fillers = fill_accept_queue(sock) if mode == "deaf" else []
    say(sock.getsockname()[1])
    held = []
    cuts = []
    deadline = time.monotonic() + LIFETIME
    stdin = sys.stdin.fileno()
    while time.monotonic() < deadline:
        watched = [stdin] + ([sock] if mode != "deaf" else [])
        for cut in cuts:
            watched += cut.sockets()
        ready, _, _ = select.select(watched, [], [], 1.0)
        if stdin in ready and not os.read(stdin, 4096):
            break
        if sock in ready:
            client, _ = sock.accept()
            say("accepted")
            if mode == "mute":
                held.append(client)
            else:
                cuts.append(Cut(client, int(sys.argv[2]), int(sys.argv[3])))
        for cut in list(cuts):
            try:
                going = cut.pump(ready)
            except OSError:
                going = False
            if not going:
                cut.close()
                cuts.remove(cut)
    for sock_ in held + fillers:
        sock_.close()


if __name__ == "__main__":
    main()
