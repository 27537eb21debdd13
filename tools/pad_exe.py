#!/usr/bin/env python3
"""Pads a PE file with trailing data (after its last section, where the
loader ignores it) up to a given size, so that the game's patch offset lies
inside the file. The padding is a fixed pseudo-random pattern: a copy that
is off by one byte anywhere is told apart from the original."""
import sys

def main():
    path, size = sys.argv[1], int(sys.argv[2], 0)
    with open(path, "rb") as f:
        data = f.read()
    if len(data) >= size:
        sys.exit(f"{path} is already {len(data)} bytes")
    pad = bytearray(size - len(data))
    x = 0x2545F491
    for i in range(len(pad)):
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        b = x & 0xFF
        pad[i] = 0x91 if b == 0x90 else b
    with open(path, "wb") as f:
        f.write(data + pad)

if __name__ == "__main__":
    main()
