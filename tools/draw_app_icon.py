#!/usr/bin/env python3
"""Draws the frame's application icon: a speech bubble with three dots beside signal bars on a
rounded blue tile. One description of the shapes gives both the scalable SVG and the PNG sizes
(rasterised here with 4 x 4 supersampling, so no image libraries are needed).

Run from the project root: python3 tools/draw_app_icon.py
Writes data/icons/org.xframe.XFrame.svg and data/icons/<n>/org.xframe.XFrame.png.
"""
import os
import struct
import zlib

APP_ID = "org.xframe.XFrame"
SIZES = (48, 128)
VIEW = 128.0  # the shapes are laid out on a 128 x 128 canvas

TILE = (38, 94, 178)
TILE_EDGE = (24, 66, 136)
PAPER = (250, 251, 255)
DOT = (38, 94, 178)
BAR_ON = (120, 220, 140)
BAR_OFF = (110, 150, 215)


def in_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


# Shapes from back to front: (svg element, colour, test(x, y) on the 128 canvas).
BUBBLE = (14, 40, 96, 98, 18)
TAIL = ((28, 94), (50, 94), (22, 116))
DOTS = [(34 + 21 * i, 69, 7) for i in range(3)]
BARS = [(80 + 9 * i, 30 - 6 * i, 86 + 9 * i, 36, i < 3) for i in range(4)]


def shapes():
    out = [
        ('<rect x="4" y="4" width="120" height="120" rx="26" fill="#%02x%02x%02x"/>' % TILE_EDGE,
         TILE_EDGE, lambda x, y: in_round_rect(x, y, 4, 4, 124, 124, 26)),
        ('<rect x="7" y="7" width="114" height="114" rx="23" fill="#%02x%02x%02x"/>' % TILE,
         TILE, lambda x, y: in_round_rect(x, y, 7, 7, 121, 121, 23)),
    ]
    x0, y0, x1, y1, r = BUBBLE
    out.append(('<rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="#%02x%02x%02x"/>'
                % ((x0, y0, x1 - x0, y1 - y0, r) + PAPER),
                PAPER, lambda x, y: in_round_rect(x, y, x0, y0, x1, y1, r)))
    a, b, c = TAIL
    out.append(('<path d="M%d %d L%d %d L%d %d Z" fill="#%02x%02x%02x"/>' % (a + b + c + PAPER),
                PAPER, lambda x, y: in_triangle(x, y, a, b, c)))
    for cx, cy, rr in DOTS:
        out.append(('<circle cx="%d" cy="%d" r="%d" fill="#%02x%02x%02x"/>' % ((cx, cy, rr) + DOT),
                    DOT, lambda x, y, cx=cx, cy=cy, rr=rr: in_circle(x, y, cx, cy, rr)))
    for bx0, by0, bx1, by1, on in BARS:
        colour = BAR_ON if on else BAR_OFF
        out.append(('<rect x="%d" y="%d" width="%d" height="%d" rx="1.5" fill="#%02x%02x%02x"/>'
                    % ((bx0, by0, bx1 - bx0, by1 - by0) + colour),
                    colour, lambda x, y, b=(bx0, by0, bx1, by1): in_round_rect(x, y, *b, 1.5)))
    return out


def write_svg(path):
    body = "\n  ".join(s[0] for s in shapes())
    with open(path, "w", encoding="utf-8") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" '
                'viewBox="0 0 128 128">\n  %s\n</svg>\n' % body)


def render(size):
    layers = shapes()
    ss = 4
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter byte
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    x = (px + (sx + 0.5) / ss) * VIEW / size
                    y = (py + (sy + 0.5) / ss) * VIEW / size
                    colour = None
                    for _, c, test in reversed(layers):
                        if test(x, y):
                            colour = c
                            break
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = ss * ss
            alpha = acc[3] / n
            if acc[3]:
                row += bytes([round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]),
                              round(alpha * 255)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, size):
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(render(size), 9)) + chunk(b"IEND", b""))


def main():
    root = os.path.join("data", "icons")
    os.makedirs(root, exist_ok=True)
    write_svg(os.path.join(root, APP_ID + ".svg"))
    for size in SIZES:
        folder = os.path.join(root, str(size))
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, APP_ID + ".png"), size)


if __name__ == "__main__":
    main()
