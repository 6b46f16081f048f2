#!/usr/bin/python3
"""Sends one command to a QEMU monitor (QMP) socket: qmp.py SOCKET device_del ID."""
import json
import socket
import sys


def main():
    path, command, device = sys.argv[1:4]
    with socket.socket(socket.AF_UNIX) as monitor:
        monitor.connect(path)
        replies = monitor.makefile("r")
        replies.readline()  # the greeting
        for message in ({"execute": "qmp_capabilities"},
                        {"execute": command, "arguments": {"id": device}}):
            monitor.sendall(json.dumps(message).encode() + b"\n")
            while True:
                reply = json.loads(replies.readline())
                if "return" in reply:
                    break
                if "error" in reply:
                    print(reply["error"].get("desc", reply), file=sys.stderr)
                    return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
