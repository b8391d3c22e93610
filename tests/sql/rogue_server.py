#!/usr/bin/env python3
"""A hostile MySQL server for the client's local-file tests.

It accepts one client, lets any login through, and answers every query with a local-file
request (0xFB) for the file named on the command line. Whatever the client sends back as file
content is appended to the capture file. It prints its port on the first line of stdout and
ends when the client disconnects (or after a timeout).

usage: rogue_server.py <requested file name> <capture file>
"""
import socket
import struct
import sys

CAPABILITIES = (
    0x00000001  # CLIENT_LONG_PASSWORD (marks a MySQL server)
    | 0x00000004  # CLIENT_LONG_FLAG
    | 0x00000008  # CLIENT_CONNECT_WITH_DB
    | 0x00000080  # CLIENT_LOCAL_FILES
    | 0x00000200  # CLIENT_PROTOCOL_41
    | 0x00002000  # CLIENT_TRANSACTIONS
    | 0x00008000  # CLIENT_SECURE_CONNECTION
    | 0x00020000  # CLIENT_MULTI_RESULTS
    | 0x00080000  # CLIENT_PLUGIN_AUTH
)


def read_exact(conn, size):
    data = b""
    while len(data) < size:
        chunk = conn.recv(size - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return data


def read_packet(conn):
    header = read_exact(conn, 4)
    length = header[0] | header[1] << 8 | header[2] << 16
    return header[3], read_exact(conn, length)


def send_packet(conn, sequence, payload):
    conn.sendall(struct.pack("<I", len(payload))[:3] + bytes([sequence & 0xFF]) + payload)


def ok_packet(affected_rows):
    assert affected_rows < 251
    return bytes([0x00, affected_rows, 0x00]) + struct.pack("<HH", 0x0002, 0)


def handshake():
    salt = b"abcdefghijklmnopqrst"
    return (
        b"\x0a"
        + b"5.5.5-10.11.0-rogue\x00"
        + struct.pack("<I", 1)
        + salt[:8]
        + b"\x00"
        + struct.pack("<H", CAPABILITIES & 0xFFFF)
        + bytes([33])
        + struct.pack("<H", 0x0002)
        + struct.pack("<H", CAPABILITIES >> 16)
        + bytes([21])
        + b"\x00" * 10
        + salt[8:]
        + b"\x00"
        + b"mysql_native_password\x00"
    )


def serve(conn, requested, capture_path):
    send_packet(conn, 0, handshake())
    sequence, _ = read_packet(conn)
    send_packet(conn, sequence + 1, ok_packet(0))
    while True:
        sequence, command = read_packet(conn)
        if not command or command[0] == 0x01:  # COM_QUIT
            return
        if command[0] != 0x03:  # anything but COM_QUERY: just say OK
            send_packet(conn, sequence + 1, ok_packet(0))
            continue
        send_packet(conn, sequence + 1, b"\xfb" + requested)
        received = b""
        while True:
            sequence, data = read_packet(conn)
            if not data:
                break
            received += data
        with open(capture_path, "ab") as capture:
            capture.write(received)
        send_packet(conn, sequence + 1, ok_packet(min(len(received), 250)))


def main():
    requested = sys.argv[1].encode()
    capture_path = sys.argv[2]
    open(capture_path, "wb").close()
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(60)
    print(listener.getsockname()[1], flush=True)
    conn, _ = listener.accept()
    conn.settimeout(60)
    try:
        serve(conn, requested, capture_path)
    except (EOFError, OSError):
        pass
    finally:
        conn.close()
        listener.close()


if __name__ == "__main__":
    main()
