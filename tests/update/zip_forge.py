"""Zip archives byte by byte, for entries no honest tool writes: names with
any bytes, sizes and CRCs that lie, chosen hosts and attributes, unknown
methods, flags for encryption. Only what the extraction reads is written:
local headers, data, central directory, end record."""

import struct
import zlib


class Entry:
    def __init__(self, name, data=b"", method=8, **kw):
        self.name = name.encode("utf-8") if isinstance(name, str) else name
        self.data = data
        self.method = method
        self.flags = kw.get("flags", 0)
        self.made_by = kw.get("made_by", 0x0314)  # Unix host, zip 2.0
        self.external = kw.get("external", 0o100644 << 16)
        self.extra = kw.get("extra", b"")
        self.declared = kw.get("declared")  # uncompressed size claimed
        self.crc = kw.get("crc")
        self.payload = kw.get("payload")  # raw bytes instead of compressing data
        self.local_name = kw.get("local_name")


def _compress(data):
    c = zlib.compressobj(6, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def build(entries):
    out = bytearray()
    central = bytearray()
    for e in entries:
        if e.payload is not None:
            payload = e.payload
        elif e.method == 8:
            payload = _compress(e.data)
        else:
            payload = e.data
        crc = zlib.crc32(e.data) & 0xFFFFFFFF if e.crc is None else e.crc
        size = len(e.data) if e.declared is None else e.declared
        local_name = e.name if e.local_name is None else e.local_name
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, e.flags, e.method, 0, 0x21,
                           crc, len(payload), size, len(local_name), 0)
        out += local_name + payload
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, e.made_by, 20, e.flags, e.method, 0, 0x21,
                               crc, len(payload), size, len(e.name), len(e.extra), 0, 0, 0, e.external, offset)
        central += e.name + e.extra
    start = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), start, 0)
    return bytes(out)
