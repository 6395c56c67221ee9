"""Registry values as the tests store them (REGEDIT4 files for `regedit /S`)
and read them back (`reg query` output)."""

import dataclasses
import re

REG_SZ = "REG_SZ"
REG_EXPAND_SZ = "REG_EXPAND_SZ"
REG_BINARY = "REG_BINARY"
REG_DWORD = "REG_DWORD"
REG_DWORD_BIG_ENDIAN = "REG_DWORD_BIG_ENDIAN"
REG_MULTI_SZ = "REG_MULTI_SZ"
REG_QWORD = "REG_QWORD"
REG_TYPE_NUMBERS = {REG_SZ: 1, REG_EXPAND_SZ: 2, REG_BINARY: 3, REG_DWORD: 4, REG_DWORD_BIG_ENDIAN: 5,
                    REG_MULTI_SZ: 7, REG_QWORD: 11}
DWORD_MASK = 0xFFFFFFFF
REG_FILE_ENCODING = "cp1252"


@dataclasses.dataclass(frozen=True)
class RegValue:
    type: str
    data: object  # int for REG_DWORD, str for the string types, bytes as stored, None for no bytes at all

    def reg_file_line(self, name):
        """The value as a line of a REGEDIT4 file."""
        quoted_name = '"%s"' % reg_file_escape(name)
        if self.data is None:
            return "%s=hex(%d):" % (quoted_name, REG_TYPE_NUMBERS[self.type])
        if isinstance(self.data, bytes):
            return "%s=hex(%d):%s" % (quoted_name, REG_TYPE_NUMBERS[self.type], ",".join("%02x" % b for b in self.data))
        if self.type == REG_DWORD:
            return "%s=dword:%08x" % (quoted_name, self.data & DWORD_MASK)
        if self.type == REG_SZ:
            return '%s="%s"' % (quoted_name, reg_file_escape(self.data))
        if self.type == REG_EXPAND_SZ:
            raw = self.data.encode(REG_FILE_ENCODING) + b"\0"
            return "%s=hex(2):%s" % (quoted_name, ",".join("%02x" % b for b in raw))
        raise ValueError("cannot write a %s value" % self.type)


def dword(value):
    """A REG_DWORD; negative numbers are stored as their 32-bit pattern."""
    return RegValue(REG_DWORD, value & DWORD_MASK)


def sz(text):
    return RegValue(REG_SZ, text)


def expand_sz(text):
    return RegValue(REG_EXPAND_SZ, text)


def raw(type_name, data):
    """A value of any type holding exactly these bytes (a DWORD of two
    bytes, a QWORD, a multi-string...)."""
    return RegValue(type_name, bytes(data))


def zero_length_sz():
    """A REG_SZ value of zero bytes, not even a terminating zero."""
    return RegValue(REG_SZ, None)


def reg_file_escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def reg_file(key, values):
    """A REGEDIT4 file (as bytes) that writes {name: RegValue} under key."""
    lines = ["REGEDIT4", "", "[%s]" % key]
    lines += [value.reg_file_line(name) for name, value in values.items()]
    return ("\r\n".join(lines) + "\r\n").encode(REG_FILE_ENCODING)


REG_QUERY_LINE = re.compile(r"^ {4}(.+?) {4}(REG_[A-Z_]+) {4}(.*)$")


def parse_reg_query(output):
    """`reg query KEY` output -> {name: RegValue} for the key's own values."""
    values = {}
    for line in output.replace("\r", "").split("\n"):
        match = REG_QUERY_LINE.match(line)
        if not match:
            continue
        name, kind, data = match.groups()
        values[name] = RegValue(kind, int(data, 16) if kind == REG_DWORD else data)
    return values
