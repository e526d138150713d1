#!/usr/bin/env python3
"""Writes the small PNG fixtures of the controls tests (run from this folder)."""
import struct
import zlib


def png(path, width, height, pixel, alpha):
    color_type = 6 if alpha else 2
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def solid(rgb):
    return lambda x, y: rgb


def alpha_pixel(x, y):
    if (x, y) == (0, 0):
        return (255, 255, 255, 0)  # transparent white corner
    if (x, y) == (1, 0):
        return (200, 100, 50, 128)  # half transparent, stored straight
    return (0, 0, 255, 255)


def marked_picture(x, y):
    if (x, y) == (0, 0):
        return (255, 0, 0)
    if (x, y) == (111, 21):
        return (0, 255, 0)
    return (10, 120, 200)


png("alpha_4x3.png", 4, 3, alpha_pixel, True)
png("plain_6x5.png", 6, 5, solid((90, 60, 30)), False)
png("picture_112x22.png", 112, 22, marked_picture, False)
png("normal_22x19.png", 22, 19, solid((200, 30, 30)), False)
png("pressed_22x19.png", 22, 19, solid((30, 200, 30)), False)
png("hover_22x19.png", 22, 19, solid((30, 30, 200)), False)
with open("not_a_png.bin", "wb") as out:
    out.write(b"these bytes are no image at all")
