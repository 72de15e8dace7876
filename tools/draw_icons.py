#!/usr/bin/env python3
"""Draws the plug-in's two 16 x 16 image strips (no image libraries needed).

sms_tree_Images.png: 0 root, 1 favourites, 2 outbox, 3 inbox, 4 drafts, 5 trash, 6 report,
                     7 root while clicked, 8 sent items / cell broadcasts
sms_status.png:      0 read, 1 unread, 2 sent, 3 not sent, 4 draft
Run from the project root: python3 tools/draw_icons.py
"""
import struct
import zlib

T = (0, 0, 0, 0)
INK = (60, 70, 90, 255)
PAPER = (250, 250, 245, 255)
BLUE = (50, 110, 200, 255)
LBLUE = (150, 190, 240, 255)
YEL = (240, 190, 50, 255)
DYEL = (190, 140, 20, 255)
GREEN = (40, 160, 70, 255)
RED = (210, 50, 50, 255)
GREY = (130, 130, 140, 255)
LGREY = (200, 200, 205, 255)


class Tile:
    def __init__(self):
        self.p = [[T] * 16 for _ in range(16)]

    def px(self, x, y, c):
        if 0 <= x < 16 and 0 <= y < 16:
            self.p[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, border=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                self.px(x, y, border if (border and edge) else fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0))
        for i in range(n + 1):
            self.px(round(x0 + (x1 - x0) * i / max(n, 1)), round(y0 + (y1 - y0) * i / max(n, 1)), c)


def envelope(t, y0=4, y1=12, fill=PAPER, open_=False):
    t.rect(1, y0, 14, y1, fill, INK)
    if open_:
        t.line(1, y0, 7, y0 - 4, INK)
        t.line(14, y0, 8, y0 - 4, INK)
        t.line(1, y0, 7, y0 + 4, INK)
        t.line(14, y0, 8, y0 + 4, INK)
    else:
        t.line(1, y0, 7, y0 + 5, INK)
        t.line(14, y0, 8, y0 + 5, INK)


def arrow_up(t, x, c):
    t.line(x, 6, x, 14, c)
    t.line(x - 3, 9, x, 6, c)
    t.line(x + 3, 9, x, 6, c)


def arrow_down(t, x, c):
    t.line(x, 1, x, 9, c)
    t.line(x - 3, 6, x, 9, c)
    t.line(x + 3, 6, x, 9, c)


def check(t, c, x=8, y=10):
    t.line(x, y + 2, x + 2, y + 4, c)
    t.line(x + 2, y + 4, x + 7, y - 1, c)
    t.line(x, y + 1, x + 2, y + 3, c)
    t.line(x + 2, y + 3, x + 7, y - 2, c)


def cross(t, c):
    t.line(9, 8, 14, 13, c)
    t.line(14, 8, 9, 13, c)
    t.line(10, 8, 15, 13, c)
    t.line(15, 8, 10, 13, c)


def pencil(t):
    for i in range(9):
        t.px(5 + i, 13 - i, YEL)
        t.px(6 + i, 13 - i, DYEL)
        t.px(5 + i, 12 - i, YEL)
    t.px(4, 14, INK)
    t.px(4, 13, INK)
    t.px(5, 14, INK)
    t.rect(13, 2, 14, 3, RED)


def folder(t, open_=False):
    t.rect(1, 3, 6, 5, DYEL)
    t.rect(1, 5, 14, 13, YEL, DYEL)
    if open_:
        for y in range(8, 14):
            t.line(3 + (13 - y) // 2, y, 15 - (13 - y) // 3, y, (250, 215, 110, 255))
        t.line(3, 8, 15, 8, DYEL)


def tree_tiles():
    tiles = []
    t = Tile(); folder(t); t.rect(4, 8, 11, 11, LBLUE, BLUE); tiles.append(t)          # 0 root
    t = Tile()                                                                       # 1 favourites
    pts = [(8, 1), (10, 6), (15, 6), (11, 9), (13, 14), (8, 11), (3, 14), (5, 9), (1, 6), (6, 6)]
    for y in range(16):
        xs = []
        for i in range(len(pts)):
            (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % len(pts)]
            if (y0 <= y < y1) or (y1 <= y < y0):
                xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
        xs.sort()
        for a, b in zip(xs[::2], xs[1::2]):
            for x in range(int(round(a)), int(round(b)) + 1):
                t.px(x, y, YEL)
    for i in range(len(pts)):
        t.line(*pts[i], *pts[(i + 1) % len(pts)], DYEL)
    tiles.append(t)
    t = Tile(); envelope(t, 3, 10); arrow_up(t, 12, GREEN); tiles.append(t)          # 2 outbox
    t = Tile(); t.rect(1, 9, 14, 14, LGREY, INK); t.rect(4, 9, 11, 11, PAPER); arrow_down(t, 8, BLUE); tiles.append(t)  # 3 inbox
    t = Tile(); t.rect(2, 1, 11, 14, PAPER, INK)                                      # 4 drafts
    for y in (4, 6, 8):
        t.line(4, y, 9, y, GREY)
    pencil(t); tiles.append(t)
    t = Tile(); t.rect(2, 2, 13, 3, GREY); t.rect(6, 1, 9, 1, GREY)                   # 5 trash
    t.rect(3, 4, 12, 14, LGREY, INK)
    for x in (5, 8, 10):
        t.line(x, 6, x, 12, GREY)
    tiles.append(t)
    t = Tile(); t.rect(2, 1, 12, 14, PAPER, INK)                                      # 6 report
    for y in (3, 5):
        t.line(4, y, 10, y, GREY)
    check(t, GREEN, 4, 9); tiles.append(t)
    t = Tile(); folder(t, True); tiles.append(t)                                     # 7 root clicked
    t = Tile(); envelope(t, 3, 10); check(t, GREEN, 7, 10); tiles.append(t)          # 8 sent items
    return tiles


def status_tiles():
    tiles = []
    t = Tile(); envelope(t, 7, 14, PAPER, open_=True); tiles.append(t)               # 0 read
    t = Tile(); envelope(t, 3, 12, LBLUE); t.rect(12, 1, 14, 3, BLUE); tiles.append(t)  # 1 unread
    t = Tile(); envelope(t, 2, 10); check(t, GREEN, 7, 10); tiles.append(t)          # 2 sent
    t = Tile(); envelope(t, 2, 10); cross(t, RED); tiles.append(t)                   # 3 not sent
    t = Tile(); t.rect(2, 1, 11, 14, PAPER, INK); pencil(t); tiles.append(t)         # 4 draft
    return tiles


def write_png(path, tiles):
    w, h = 16 * len(tiles), 16
    raw = b""
    for y in range(h):
        raw += b"\x00" + b"".join(bytes(tiles[x // 16].p[y][x % 16]) for x in range(w))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    write_png("plugins/SMSUIPlugin/sms_tree_Images.png", tree_tiles())
    write_png("plugins/SMSUIPlugin/sms_status.png", status_tiles())
