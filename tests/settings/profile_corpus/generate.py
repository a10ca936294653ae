#!/usr/bin/env python3
"""Writes the generated part of the settings-file corpus (encodings, NULs, binary garbage).

The files are kept in the repository; run this again only to change them. Random content comes
from fixed seeds, so the output is the same every time.
"""
import random

UNICODE_TEXT = (
    "[Unicode]\r\n"
    "Größe=groß\r\n"
    "GRÖSSE=upper\r\n"
    "größe=lower\r\n"
    "Ärger=Ä\r\n"
    "ärger=ä\r\n"
    "Имя=Значение\r\n"
    "ИМЯ=upper cyrillic\r\n"
    "\u212aelvin=kelvin sign\r\n"
    "Kelvin=latin k\r\n"
    "\u0130nfo=dotted capital i\r\n"
    "info=latin i\r\n"
    "emoji=\U0001F600 \"\u00e9\"\r\n"
    "\u3000ideographic\u3000=\u3000space\u3000\r\n"
    "[\u00c4ußeres]\r\n"
    "k=outer\r\n"
    "[äußeres]\r\n"
    "k=lower outer\r\n"
)


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


def main():
    write("utf16le_bom.ini", b"\xff\xfe" + UNICODE_TEXT.encode("utf-16-le"))
    write("utf16be_bom.ini", b"\xfe\xff" + UNICODE_TEXT.encode("utf-16-be"))
    write("utf8_bom.ini", b"\xef\xbb\xbf" + UNICODE_TEXT.encode("utf-8"))
    # Without a byte-order mark the bytes are ANSI, even when they are UTF-8 or UTF-16.
    write("utf8_without_bom.ini", UNICODE_TEXT.encode("utf-8"))
    write("utf16le_without_bom.ini", UNICODE_TEXT.encode("utf-16-le"))
    # An odd last byte after the last line break.
    write("utf16le_odd_length.ini", b"\xff\xfe" + "[O]\r\nk=v\r\n".encode("utf-16-le") + b"x")
    write("ansi_high_bytes.ini",
          b"[Ansi]\r\n" + b"".join(b"k%02X=%c\r\n" % (i, i) for i in range(0x80, 0x100)))
    write("nul_characters.ini",
          b"[Nul]\r\na\x00b=value\r\nc=val\x00ue\r\n\"d\x00\"=e\r\nq=\"quo\x00ted\"\r\n"
          b"[Sec\x00tion]\r\nk=in nul section\r\n")
    for seed in range(3):
        rng = random.Random(seed)
        write("garbage_%d.bin" % seed, bytes(rng.randrange(256) for _ in range(4096)))
    # Garbage made of INI tokens, so that sections and keys occur between the noise.
    tokens = ["[", "]", "=", "\r", "\n", "\r\n", " ", "\t", "\"", "'", ";", "\x1a", "\x00",
              "S", "s", "k", "K", "v", "A", "+", "\xa0", "\x85"]
    for seed in range(3):
        rng = random.Random(100 + seed)
        text = "".join(rng.choice(tokens) for _ in range(6000))
        write("token_soup_%d.ini" % seed, text.encode("latin-1"))
        write("token_soup_%d_utf16.ini" % seed, b"\xff\xfe" + text.encode("utf-16-le"))


if __name__ == "__main__":
    main()
