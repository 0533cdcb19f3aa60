"""Prints the UID that kinroll-contacts makes of each SOURCE under the key in
KEYFILE: the first 16 bytes of HMAC-SHA-256, marked as a version 8 UUID.
A SOURCE may hold \\n and \\xNN escapes (Latin-1 bytes).

Usage: python3 uid.py KEYFILE SOURCE...
"""
import hashlib
import hmac
import sys
import uuid


def uid(key, source):
    d = bytearray(hmac.new(key, source, hashlib.sha256).digest()[:16])
    d[6] = (d[6] & 0x0F) | 0x80
    d[8] = (d[8] & 0x3F) | 0x80
    return str(uuid.UUID(bytes=bytes(d)))


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        key = f.read().rstrip(b"\r\n")
    for s in sys.argv[2:]:
        source = s.encode("latin-1").decode("unicode_escape").encode("latin-1")
        print(uid(key, source), repr(source))
