#!/usr/bin/env python3
"""Writes the hostile archives of the trials into the ZIP fuzzer's seed corpus
(corpus/games_zip/), each small enough for the smoke runs (64 KB): folders nested
deeper than a path may be long, entries sharing one record or running over the next
one's, and Zip64 forms.

Run from anywhere: python3 make_zip_seeds.py
"""
import io
import os
import struct
import zipfile
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus', 'games_zip')


def deflate(data):
    co = zlib.compressobj(9, zlib.DEFLATED, -15)
    return co.compress(data) + co.flush()


def archive(entries, zip64=False):
    """entries: dicts with name, data, method (0 or 8); optional offset_of (share the local
    record of an earlier entry), at (no record of its own: its central header points there)
    and packed (bytes stored, instead of packing data)."""
    body = bytearray()
    central = bytearray()
    offsets = []
    for e in entries:
        data = e.get('data', b'')
        method = e.get('method', 0)
        packed = e.get('packed', deflate(data) if method == 8 else data)
        crc = zlib.crc32(data)
        if 'offset_of' in e:
            offset = offsets[e['offset_of']]
        elif 'at' in e:
            offset = e['at']
        else:
            offset = len(body)
            sizes = (0xFFFFFFFF, 0xFFFFFFFF) if zip64 else (len(packed), len(data))
            extra = struct.pack('<HHQQ', 1, 16, len(data), len(packed)) if zip64 else b''
            body += struct.pack('<IHHHHHIIIHH', 0x04034b50, 45 if zip64 else 20, 0, method, 0,
                                0x2821, crc, sizes[0], sizes[1], len(e['name']), len(extra))
            body += e['name'] + extra + packed
        offsets.append(offset)
        extra = (struct.pack('<HHQQQ', 1, 24, len(data), len(packed), offset) if zip64 else b'')
        sizes = (0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF) if zip64 else (len(packed), len(data), offset)
        central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 45, 45, 0, method, 0, 0x2821,
                               crc, sizes[0], sizes[1], len(e['name']), len(extra), 0, 0, 0, 0,
                               sizes[2]) + e['name'] + extra
    start = len(body)
    out = body + central
    if zip64:
        end64 = len(out)
        out += struct.pack('<IQHHIIQQQQ', 0x06064b50, 44, 45, 45, 0, 0, len(entries),
                           len(entries), len(central), start)
        out += struct.pack('<IIQI', 0x07064b50, 0, end64, 1)
        out += struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF,
                           0xFFFFFFFF, 0)
    else:
        out += struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(entries), len(entries),
                           len(central), start, 0)
    return bytes(out)


def named(entries):
    """entries: (name, create_system, extra): names for the UTF-8 rules of the launch."""
    b = io.BytesIO()
    with zipfile.ZipFile(b, 'w') as z:
        for name, system, extra in entries:
            info = zipfile.ZipInfo(name)
            info.create_system = system
            info.extra = extra
            z.writestr(info, b'x')
    return b.getvalue()


def unicode_path(stored, name):
    """An Info-ZIP Unicode Path extra field naming `stored` as `name`."""
    u = name.encode('utf-8')
    return struct.pack('<HHBI', 0x7075, 5 + len(u), 1, zlib.crc32(stored)) + u


def main():
    os.makedirs(OUT, exist_ok=True)
    quoted = struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 0, 0, 0x2821, zlib.crc32(b'y'), 1, 1,
                         5, 0) + b'b.rom' + b'y'
    seeds = {
        # One entry of folders nested far beyond a path's length.
        'deep-folder.zip': archive([dict(name=b'd/' * 15000)]),
        # Three such chains, and a file at the bottom of a fourth.
        'deep-chains.zip': archive([dict(name=p * 4000) for p in (b'a/', b'b/', b'c/')] +
                                   [dict(name=b'e/' * 2500 + b'x.rom', data=b'x')]),
        # Six central entries sharing one record of a megabyte of zeros.
        'overlap-shared.zip': archive([dict(name=b'b0.rom', data=bytes(1 << 20), method=8)] +
                                      [dict(name=b'b%d.rom' % i, data=bytes(1 << 20), method=8,
                                            offset_of=0) for i in range(1, 6)]),
        # A stored entry whose data holds the next entry's record.
        'overlap-quoted.zip': archive([dict(name=b'a.rom', data=quoted),
                                       dict(name=b'b.rom', data=b'y', at=30 + 5)]),
        # Zip64 records: a small archive in every Zip64 form.
        'zip64-small.zip': archive([dict(name=b'sub/d.txt', data=b'zip64 ' * 500, method=8),
                                    dict(name=b's.bin', data=b'stored')], zip64=True),
        # Deflated entries that fill the inflater's output pieces once and many times over.
        'deflate-pieces.zip': archive([dict(name=b'p.bin', data=bytes(range(256)) * 1200 + b'e',
                                            method=8),
                                       dict(name=b'z.bin', data=bytes(5 << 20), method=8)]),
        # UTF-8 names: flagged, made on Unix, and named by a Unicode Path field that matches
        # the stored name or not.
        'utf8-names.zip': named([('綠色.a26', 3, b''), ('dir/綠色.a26', 0, b''),
                                 ('x', 0, unicode_path(b'x', '綠色/../x')),
                                 ('y', 0, unicode_path(b'z', '綠色.a26'))]),
    }
    for name, data in seeds.items():
        assert len(data) <= 65536, name
        with open(os.path.join(OUT, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
