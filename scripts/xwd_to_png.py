#!/usr/bin/env python3
"""Converts an X window dump (xwd, 24 or 32 bits per pixel, TrueColor) to PNG.

Usage: xwd_to_png.py IN.xwd OUT.png [X Y WIDTH HEIGHT]
Only the standard library is used, so the screenshot script needs no image
tools beyond xwd itself.
"""
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, 'rb').read()
    fields = struct.unpack('>25I', data[:100])
    header_size, version, pixmap_format, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    ncolors = fields[19]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        sys.exit('unsupported xwd: version %d, format %d, %d bits per pixel' % (version, pixmap_format, bits_per_pixel))
    pixels = data[header_size + 12 * ncolors:]
    step = bits_per_pixel // 8
    order = 'little' if byte_order == 0 else 'big'

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    masks = (red_mask, green_mask, blue_mask)
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:(y + 1) * bytes_per_line]
        row = bytearray()
        for x in range(width):
            value = int.from_bytes(line[x * step:(x + 1) * step], order)
            for mask, s in zip(masks, shifts):
                row.append((value & mask) >> s)
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        crc = zlib.crc32(kind + body) & 0xffffffff
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', crc)

    raw = b''.join(b'\x00' + row for row in rows)
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9))
    png += chunk(b'IEND', b'')
    open(path, 'wb').write(png)


def main():
    if len(sys.argv) not in (3, 7):
        sys.exit(__doc__)
    width, height, rows = read_xwd(sys.argv[1])
    if len(sys.argv) == 7:
        x, y, w, h = (int(v) for v in sys.argv[3:7])
        rows = [row[3 * x:3 * (x + w)] for row in rows[y:y + h]]
        width, height = w, h
    write_png(sys.argv[2], width, height, rows)


if __name__ == '__main__':
    main()
