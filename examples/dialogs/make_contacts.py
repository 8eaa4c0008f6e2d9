#!/usr/bin/env python3
"""Writes the example's address book: Contacts/*.vcf with photos drawn
here (a coloured disc with a lighter ring on a soft background), in the
three vCard versions the contact chooser reads.

Usage: python3 make_contacts.py   (from this folder; rewrites Contacts/)
"""

import base64
import struct
import zlib
from pathlib import Path


def png(width, height, pixel):
    """A truecolour PNG of pixel(x, y) -> (r, g, b)."""
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def portrait(colour, width=48, height=64):
    """A disc for a face over shoulders, in colour, on a pale ground."""
    r, g, b = colour

    def pixel(x, y):
        dx, dy = x - width / 2, y - height * 0.38
        if dx * dx + dy * dy < (width * 0.28) ** 2:
            return (min(255, r + 60), min(255, g + 60), min(255, b + 60))
        sx, sy = x - width / 2, y - height * 1.05
        if sx * sx / (width * 0.5) ** 2 + sy * sy / (height * 0.45) ** 2 < 1:
            return colour
        shade = 235 - y // 4
        return (shade, shade, 245)

    return png(width, height, pixel)


def fold(text, first=" "):
    lines = [text[i:i + 72] for i in range(0, len(text), 72)]
    return "".join(first + line + "\r\n" for line in lines)


def main():
    folder = Path(__file__).resolve().parent / "Contacts"
    folder.mkdir(exist_ok=True)
    for old in folder.glob("*.vcf"):
        old.unlink()
    ada = base64.b64encode(portrait((40, 90, 200))).decode()
    (folder / "ada.vcf").write_bytes((
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lovelace;Ada\r\nFN:Ada Lovelace\r\n"
        "TEL;CELL;VOICE:+44 20 7946 0101\r\nTEL;WORK:+44 20 7946 0102\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=PNG:\r\n" + fold(ada) + "\r\nEND:VCARD\r\n").encode())
    grace = base64.b64encode(portrait((190, 60, 60), 64, 48)).decode()
    alan = base64.b64encode(portrait((40, 150, 90))).decode()
    (folder / "colleagues.vcf").write_bytes((
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hopper;Grace;;Rear Admiral;\r\n"
        "TEL;TYPE=work,voice:+1 202 555 0143\r\nPHOTO;ENCODING=b;TYPE=PNG:" + grace + "\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:6f1c2a9e-alan\r\nFN:Alan Turing\r\n"
        "TEL;VALUE=uri;TYPE=\"cell\":tel:+44-161-555-0199\r\n"
        "PHOTO:data:image/png;base64," + alan + "\r\nEND:VCARD\r\n").encode())
    (folder / "office.vcf").write_bytes((
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Front desk\r\nTEL;TYPE=work:555-0100\r\nEND:VCARD\r\n").encode())


if __name__ == "__main__":
    main()
