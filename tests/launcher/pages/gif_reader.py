"""A small reader for the single-frame GIFs of the launcher's pages, so the page tests need
nothing beyond python3."""

import struct


class GifImage:
    def __init__(self, width, height, palette, transparent_index, indices):
        self.width = width
        self.height = height
        self.palette = palette
        self.transparent_index = transparent_index
        self.indices = indices

    def is_opaque(self, x, y):
        return self.indices[y * self.width + x] != self.transparent_index

    def colour(self, x, y):
        return self.palette[self.indices[y * self.width + x]]

    def opaque_box(self):
        """(left, top, right, bottom) of the opaque pixels, right and bottom exclusive; None if none."""
        rows = [y for y in range(self.height)
                if any(i != self.transparent_index for i in self.indices[y * self.width:(y + 1) * self.width])]
        if not rows:
            return None
        columns = [x for x in range(self.width)
                   if any(self.is_opaque(x, y) for y in range(rows[0], rows[-1] + 1))]
        return columns[0], rows[0], columns[-1] + 1, rows[-1] + 1


def _read_palette(data, offset, flags):
    size = 2 << (flags & 7)
    colours = [tuple(data[offset + 3 * k:offset + 3 * k + 3]) for k in range(size)]
    return colours, offset + 3 * size


def _sub_blocks(data, offset):
    chunks = []
    while data[offset]:
        chunks.append(data[offset + 1:offset + 1 + data[offset]])
        offset += 1 + data[offset]
    return b"".join(chunks), offset + 1


def _lzw_decode(stream, minimum_size, pixel_count):
    clear, end = 1 << minimum_size, (1 << minimum_size) + 1
    table = [bytes([k]) for k in range(clear)] + [b"", b""]
    size, previous, out = minimum_size + 1, None, bytearray()
    bits, bit_count, position = 0, 0, 0
    while len(out) < pixel_count:
        while bit_count < size:
            if position >= len(stream):
                raise ValueError("image data ends early")
            bits |= stream[position] << bit_count
            position += 1
            bit_count += 8
        code = bits & ((1 << size) - 1)
        bits >>= size
        bit_count -= size
        if code == clear:
            table = table[:end + 1]
            size, previous = minimum_size + 1, None
            continue
        if code == end:
            break
        if previous is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            table.append(previous + entry[:1])
        else:
            entry = previous + previous[:1]
            table.append(entry)
        out += entry
        previous = entry
        if len(table) == 1 << size and size < 12:
            size += 1
    return bytes(out[:pixel_count])


def read_gif(path):
    with open(path, "rb") as source:
        data = source.read()
    if data[:6] not in (b"GIF87a", b"GIF89a"):
        raise ValueError(f"{path}: not a GIF")
    width, height, flags = struct.unpack_from("<HHB", data, 6)
    offset = 13
    palette = []
    if flags & 0x80:
        palette, offset = _read_palette(data, offset, flags)
    transparent_index = None
    while True:
        marker = data[offset]
        if marker == 0x21:
            label = data[offset + 1]
            if label == 0xF9 and data[offset + 3] & 1:
                transparent_index = data[offset + 6]
            _, offset = _sub_blocks(data, offset + 2)
        elif marker == 0x2C:
            left, top, frame_width, frame_height, frame_flags = struct.unpack_from("<HHHHB", data, offset + 1)
            offset += 10
            if frame_flags & 0x80:
                palette, offset = _read_palette(data, offset, frame_flags)
            if (left, top, frame_width, frame_height) != (0, 0, width, height) or frame_flags & 0x40:
                raise ValueError(f"{path}: only full, non-interlaced frames are expected")
            minimum_size = data[offset]
            stream, offset = _sub_blocks(data, offset + 1)
            indices = _lzw_decode(stream, minimum_size, width * height)
            return GifImage(width, height, palette, transparent_index, indices)
        else:
            raise ValueError(f"{path}: unexpected block 0x{marker:02x}")
