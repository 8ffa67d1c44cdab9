#!/usr/bin/env python3
"""Writes the firmware stand-in: 411,240 bytes that anyone can reproduce.

The bytes come from a 32-bit xorshift generator with a fixed seed, so a test
can compare what lands on a drive with what the tool carries, and a rebuilt
file is identical to the committed one.
"""
import sys

SIZE = 411240


def firmware_bytes(size=SIZE, seed=0x1F2E3D4C):
    state = seed
    out = bytearray(size)
    for i in range(size):
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out[i] = state & 0xFF
    return bytes(out)


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "resources/UpdatedFirmware/lumetra.bin"
    with open(path, "wb") as f:
        f.write(firmware_bytes())
