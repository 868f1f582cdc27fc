#!/usr/bin/env python3
"""Makes the pictures the metadata tests read, with Pillow.

  make_fixtures.py picture PATH WIDTH HEIGHT IFD0 EXIF
      A picture of the type its extension says (JPEG, PNG, WebP, TIFF), whose EXIF
      holds the tags of IFD0 and EXIF, Python dictionaries of tag numbers
      ("{0x010f: 'Canon'}").
  make_fixtures.py heif PATH IFD0 EXIF
      A HEIF photo of 64x48 built box by box: an image item and an Exif item, which
      is what exiv2 reads of a HEIC file.
"""
import ast
import struct
import sys

from PIL import Image


def exif_of(ifd0, exif):
    tags = Image.Exif()
    for tag, value in ast.literal_eval(ifd0).items():
        tags[tag] = value
    sub = ast.literal_eval(exif)
    if sub:
        tags[0x8769] = sub
    return tags


def picture(path, width, height, ifd0, exif):
    Image.new("RGB", (int(width), int(height)), "red").save(path, exif=exif_of(ifd0, exif))


def box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload


def full_box(kind, version, payload):
    return box(kind, struct.pack(">I", version << 24) + payload)


def heif(path, ifd0, exif):
    # The Exif item: the offset of the TIFF header, then the TIFF data.
    exif_item = struct.pack(">I", 0) + exif_of(ifd0, exif).tobytes()[6:]
    image_item = bytes(16)
    ftyp = box(b"ftyp", b"heic" + struct.pack(">I", 0) + b"mif1heic")
    hdlr = full_box(b"hdlr", 0, struct.pack(">I", 0) + b"pict" + bytes(13))
    pitm = full_box(b"pitm", 0, struct.pack(">H", 1))
    infe = [full_box(b"infe", 2, struct.pack(">HH", i, 0) + kind + b"\0") for i, kind in ((1, b"hvc1"), (2, b"Exif"))]
    iinf = full_box(b"iinf", 0, struct.pack(">H", 2) + b"".join(infe))
    ispe = full_box(b"ispe", 0, struct.pack(">II", 64, 48))
    ipma = full_box(b"ipma", 0, struct.pack(">IHBB", 1, 1, 1, 0x81))
    iprp = box(b"iprp", box(b"ipco", ispe) + ipma)

    def meta(image_at, exif_at):
        locations = struct.pack(">BBH", 0x44, 0, 2)
        locations += struct.pack(">HHHII", 1, 0, 1, image_at, len(image_item))
        locations += struct.pack(">HHHII", 2, 0, 1, exif_at, len(exif_item))
        return full_box(b"meta", 0, hdlr + pitm + full_box(b"iloc", 0, locations) + iinf + iprp)

    start = len(ftyp) + len(meta(0, 0)) + 8
    with open(path, "wb") as out:
        out.write(ftyp + meta(start, start + len(image_item)) + box(b"mdat", image_item + exif_item))


if __name__ == "__main__":
    {"picture": picture, "heif": heif}[sys.argv[1]](*sys.argv[2:])
