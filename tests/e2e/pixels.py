"""Pixels of a screenshot, read through ImageMagick (no imaging module is
needed): which columns hold a colour, and where."""

import subprocess


class Image:
    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self._data = data  # RGB bytes, row by row

    @classmethod
    def load(cls, path):
        raw = subprocess.run(["convert", str(path), "-depth", "8", "ppm:-"], check=True,
                             capture_output=True).stdout
        # P6 header: magic, width, height, maximum, each ended by white space.
        fields, position = [], 0
        while len(fields) < 4:
            while raw[position:position + 1].isspace():
                position += 1
            start = position
            while not raw[position:position + 1].isspace():
                position += 1
            fields.append(raw[start:position])
        assert fields[0] == b"P6", "not a binary PPM"
        return cls(int(fields[1]), int(fields[2]), raw[position + 1:])

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self._data[offset:offset + 3])

    def columns_with(self, rgb, top=0, bottom=None):
        """The x of every column holding the colour exactly between top and bottom."""
        bottom = self.height if bottom is None else bottom
        return [x for x in range(self.width)
                if any(self.pixel(x, y) == rgb for y in range(top, bottom))]

    def same_as(self, other):
        return (self.width, self.height, self._data) == (other.width, other.height, other._data)

    def count(self, rgb):
        return sum(1 for y in range(self.height) for x in range(self.width) if self.pixel(x, y) == rgb)


def rgb(hex_text):
    """'#006600' as (0, 102, 0)."""
    value = int(hex_text.lstrip("#"), 16)
    return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF
