"""The version resource of a Windows program, read from its file: the
fixed file and product versions and the string table's values.

A VS_VERSIONINFO block is a tree of nodes, each (length, value length,
type, UTF-16 key, value, children), aligned to 4 bytes; the resource
compiler and NSIS both store it uncompressed."""

import dataclasses
import struct

ROOT_KEY = "VS_VERSION_INFO".encode("utf-16-le") + b"\0\0"
NODE_HEADER = 6  # length, value length, type: three 16-bit words
FIXED_SIGNATURE = 0xFEEF04BD
TEXT_VALUE = 1   # wType of a node whose value is text (counted in characters)


@dataclasses.dataclass(frozen=True)
class VersionInfo:
    file_version: str
    product_version: str
    strings: dict


def align(offset):
    return (offset + 3) & ~3


def read_node(data, start):
    """(key, value bytes, children as (start, end) pairs, end) of the node at start."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, start)
    end = start + length
    key_end = start + NODE_HEADER
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[start + NODE_HEADER:key_end].decode("utf-16-le")
    value_start = align(key_end + 2)
    value_bytes = value_length * 2 if value_type == TEXT_VALUE else value_length
    value = data[value_start:value_start + value_bytes]
    children = []
    child = align(value_start + value_bytes)
    while child < end:
        child_length = struct.unpack_from("<H", data, child)[0]
        if child_length == 0:
            break
        children.append(child)
        child = align(child + child_length)
    return key, value, children, end


def dotted(most, least):
    return "%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def read_version_info(path):
    data = path.read_bytes()
    at = data.find(ROOT_KEY)
    assert at >= NODE_HEADER, "%s has no version resource" % path
    key, fixed, children, _ = read_node(data, at - NODE_HEADER)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    assert signature == FIXED_SIGNATURE, "%s: a version resource without its fixed part" % path
    strings = {}
    for child in children:
        name, _, tables, _ = read_node(data, child)
        if name != "StringFileInfo":
            continue
        for table in tables:
            for entry in read_node(data, table)[2]:
                entry_key, entry_value, _, _ = read_node(data, entry)
                strings[entry_key] = entry_value.decode("utf-16-le").rstrip("\0")
    return VersionInfo(dotted(file_ms, file_ls), dotted(product_ms, product_ls), strings)
