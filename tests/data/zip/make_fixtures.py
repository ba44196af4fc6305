#!/usr/bin/env python3
"""Builds the archives in this folder that no common tool writes any more: shrunk entries with
partial clearing and 13-bit codes, imploded entries in every window/tree combination, and
entries followed by data descriptors, and small Zip64 archives from the common writers. Each
archive is checked with Info-ZIP `unzip -t`.

Run from anywhere: python3 make_fixtures.py
"""
import heapq
import os
import random
import struct
import subprocess
import tempfile
import zipfile
import zlib
import io

HERE = os.path.dirname(os.path.abspath(__file__))
DOS_TIME = (4 << 11) | (5 << 5) | (6 // 2)          # 04:05:06
DOS_DATE = ((2001 - 1980) << 9) | (2 << 5) | 3      # 2001-02-03


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def write(self, value, bits):
        self.acc |= value << self.n
        self.n += bits
        while self.n >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.n -= 8

    def bytes(self):
        out = bytearray(self.out)
        if self.n:
            out.append(self.acc & 0xFF)
        return bytes(out)


# ---------------------------------------------------------------- shrink (method 1)

FREE, HAS_CHILD, CODE_MASK = 0x2000, 0x4000, 0x1FFF


def shrink(data, grow_at=(), clear_every=None, clear_at=()):
    """LZW as PKZIP's shrink: the width grows on 256,1; 256,2 frees every entry up to the one
    assigned last that is no other entry's prefix, and a code marked as a prefix above that
    bound stays marked (and, when free, unusable) until a later clear reaches it, as Info-ZIP
    unzip decodes it. The encoder may widen early (grow_at: code counts) and clear at will
    (every clear_every codes, or after the counts in clear_at), as the format allows."""
    w = BitWriter()
    size = 9
    parent = [FREE] * 8192
    ext = [0] * 8192
    table = {}          # (prefix, byte) -> code, live codes only
    last = 256          # code assigned last
    search = 257        # where the search for a free code starts
    emitted = 0

    def put(code):
        nonlocal size, emitted
        while code >= (1 << size) or (emitted in grow_at and size < 13 and emitted not in grown):
            w.write(256, size)
            w.write(1, size)
            size += 1
            grown.add(emitted)
        w.write(code, size)
        emitted += 1

    def clear():
        nonlocal search
        for c in range(257, last + 1):
            if not parent[c] & FREE and (parent[c] & CODE_MASK) > 256:
                parent[parent[c] & CODE_MASK] |= HAS_CHILD
        for c in range(257, last + 1):
            if parent[c] & HAS_CHILD:
                parent[c] &= ~HAS_CHILD
            else:
                if not parent[c] & FREE:
                    del table[(parent[c] & CODE_MASK, ext[c])]
                parent[c] = FREE
        search = 257
        w.write(256, size)
        w.write(2, size)

    grown = set()
    cur = data[0]
    for b in data[1:]:
        nxt = table.get((cur, b))
        if nxt is not None:
            cur = nxt
            continue
        put(cur)
        if search >= 8192 or emitted in clear_at or (clear_every and emitted % clear_every == 0):
            clear()
        code = search
        while code < 8192 and parent[code] != FREE:
            code += 1
        search = code + 1
        if code < 8192:
            last = code
            parent[code] = cur
            ext[code] = b
            table[(cur, b)] = code
        cur = b
    put(cur)
    return w.bytes()


# ---------------------------------------------------------------- implode (method 6)

def huffman_lengths(freqs, limit=16):
    freqs = [f + 1 for f in freqs]
    while True:
        heap = [(f, i, (i,)) for i, f in enumerate(freqs)]
        heapq.heapify(heap)
        lengths = [0] * len(freqs)
        tie = len(freqs)
        while len(heap) > 1:
            f1, _, s1 = heapq.heappop(heap)
            f2, _, s2 = heapq.heappop(heap)
            for s in s1 + s2:
                lengths[s] += 1
            heapq.heappush(heap, (f1 + f2, tie, s1 + s2))
            tie += 1
        if max(lengths) <= limit:
            return lengths
        freqs = [(f + 1) // 2 + 1 for f in freqs]


def shannon_fano_codes(lengths):
    """Codes as the application note builds them: sorted by length, handed out from the
    longest upwards as 16-bit left-aligned values."""
    order = sorted(range(len(lengths)), key=lambda i: (lengths[i], i))
    codes = [0] * len(lengths)
    code = step = last = 0
    for i in reversed(order):
        code += step
        if lengths[i] != last:
            last = lengths[i]
            step = 1 << (16 - last)
        codes[i] = code >> (16 - lengths[i])
    return codes


def encode_tree(lengths):
    runs = []
    for l in lengths:
        if runs and runs[-1][0] == l and runs[-1][1] < 16:
            runs[-1][1] += 1
        else:
            runs.append([l, 1])
    return bytes([len(runs) - 1] + [((n - 1) << 4) | (l - 1) for l, n in runs])


def reverse(v, n):
    r = 0
    for _ in range(n):
        r = (r << 1) | (v & 1)
        v >>= 1
    return r


def implode(data, big_window, literal_tree, zero_start=0):
    low_bits = 7 if big_window else 6
    window = 64 << low_bits
    min_match = 3 if literal_tree else 2
    max_match = min_match + 63 + 255
    tokens = []
    pos = 0
    if zero_start:
        # Matches may reach before the start, where the window holds zeros.
        tokens.append(('m', zero_start, 1))
        pos = zero_start
    heads = {}
    while pos < len(data):
        best_len, best_dist = 0, 0
        key = bytes(data[pos:pos + min_match])
        for cand in reversed(heads.get(key, [])[-32:]):
            dist = pos - cand
            if dist > window:
                break
            n = 0
            while pos + n < len(data) and n < max_match and data[cand + n] == data[pos + n]:
                n += 1
            if n > best_len:
                best_len, best_dist = n, dist
        step = best_len if best_len >= min_match else 1
        if step > 1:
            tokens.append(('m', best_len, best_dist))
        else:
            tokens.append(('l', data[pos]))
        for p in range(pos, pos + step):
            heads.setdefault(bytes(data[p:p + min_match]), []).append(p)
        pos += step

    lit_f, len_f, dist_f = [0] * 256, [0] * 64, [0] * 64
    for t in tokens:
        if t[0] == 'l':
            lit_f[t[1]] += 1
        else:
            len_f[min(t[1] - min_match, 63)] += 1
            dist_f[(t[2] - 1) >> low_bits] += 1
    trees = []
    if literal_tree:
        trees.append(huffman_lengths(lit_f))
    trees += [huffman_lengths(len_f), huffman_lengths(dist_f)]
    codes = [shannon_fano_codes(t) for t in trees]
    lit = (trees[0], codes[0]) if literal_tree else None
    lens = (trees[-2], codes[-2])
    dists = (trees[-1], codes[-1])

    def sym(tree, s):
        w.write(reverse(tree[1][s], tree[0][s]), tree[0][s])

    w = BitWriter()
    for t in tokens:
        if t[0] == 'l':
            w.write(1, 1)
            if lit:
                sym(lit, t[1])
            else:
                w.write(t[1], 8)
        else:
            _, n, d = t
            w.write(0, 1)
            w.write((d - 1) & ((1 << low_bits) - 1), low_bits)
            sym(dists, (d - 1) >> low_bits)
            n -= min_match
            sym(lens, min(n, 63))
            if n >= 63:
                w.write(n - 63, 8)
    return b''.join(encode_tree(t) for t in trees) + w.bytes()


# ---------------------------------------------------------------- archives

def zip_archive(path, entries):
    """entries: dicts with name, data, method, packed, flags; descriptor None/'sig'/'plain'."""
    body = bytearray()
    central = bytearray()
    for e in entries:
        crc = zlib.crc32(e['data'])
        csize, usize = len(e['packed']), len(e['data'])
        version = 20 if e['method'] in (0, 8) else 10
        flags = e.get('flags', 0)
        desc = e.get('descriptor')
        if desc:
            flags |= 8
        offset = len(body)
        name = e['name']
        lcrc, lc, lu = (0, 0, 0) if desc else (crc, csize, usize)
        body += struct.pack('<IHHHHHIIIHH', 0x04034b50, version, flags, e['method'], DOS_TIME,
                            DOS_DATE, lcrc, lc, lu, len(name), 0) + name + e['packed']
        if desc == 'sig':
            body += struct.pack('<IIII', 0x08074b50, crc, csize, usize)
        elif desc == 'plain':
            body += struct.pack('<III', crc, csize, usize)
        central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, version, version, flags,
                               e['method'], DOS_TIME, DOS_DATE, crc, csize, usize, len(name), 0,
                               0, 0, 0, 0, offset) + name
    end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(entries), len(entries), len(central),
                      len(body), 0)
    with open(path, 'wb') as f:
        f.write(body + central + end)
    subprocess.run(['unzip', '-tq', path], check=True)


def text(seed, size):
    rnd = random.Random(seed)
    words = ('rom bios sprite palette mapper cartridge sound channel joystick scanline '
             'vblank interrupt opcode register bank switch tile layer zoom scroll').split()
    out = bytearray()
    while len(out) < size:
        line = ' '.join(rnd.choice(words) for _ in range(rnd.randint(3, 12)))
        out += line.encode() + b'\r\n'
        if rnd.random() < 0.05:
            out += bytes(rnd.randrange(256) for _ in range(rnd.randint(1, 40)))
    return bytes(out[:size])


def main():
    # Shrink: widened to 13 bits early (the encoder decides when) and cleared at irregular
    # points, so freed codes are reused, entries whose prefix was freed appear, and clears
    # reach only part of the table.
    a = text(1, 9000)
    b = text(2, 3000) + b'A' * 2000 + text(3, 1000)
    zip_archive(os.path.join(HERE, 'shrink-clear-13bit.zip'), [
        dict(name=b'CLEAR13.TXT', data=a, method=1,
             packed=shrink(a, grow_at=(100, 200, 300, 400),
                           clear_at=(350, 351, 353, 700, 1200, 1203, 1500))),
        dict(name=b'CLEAR9.TXT', data=b, method=1, packed=shrink(b, clear_every=150)),
    ])
    # Implode in the two combinations the public samples lack, plus the other two; the first
    # bytes of two entries are zeros taken from before the start of the window.
    c = text(4, 12000)
    d = bytes(64) + text(5, 5000)
    zip_archive(os.path.join(HERE, 'implode-all.zip'), [
        dict(name=b'8K2T.TXT', data=c, method=6, flags=2, packed=implode(c, True, False)),
        dict(name=b'4K3T.TXT', data=d, method=6, flags=4,
             packed=implode(d, False, True, zero_start=64)),
        dict(name=b'8K3T.TXT', data=d, method=6, flags=6,
             packed=implode(d, True, True, zero_start=64)),
        dict(name=b'4K2T.TXT', data=c[:4000], method=6, flags=0,
             packed=implode(c[:4000], False, False)),
    ])
    # Data descriptors with and without their signature, after deflated and stored data.
    e = text(6, 3000)
    def deflate(x):
        co = zlib.compressobj(9, zlib.DEFLATED, -15)
        return co.compress(x) + co.flush()
    zip_archive(os.path.join(HERE, 'descriptor.zip'), [
        dict(name=b'sig/deflated.txt', data=e, method=8, packed=deflate(e), descriptor='sig'),
        dict(name=b'plain/deflated.txt', data=e[:1000], method=8, packed=deflate(e[:1000]),
             descriptor='plain'),
        dict(name=b'plain/stored.txt', data=e[:300], method=0, packed=e[:300],
             descriptor='plain'),
    ])
    zip64_archives(e)


def zip64_archives(e):
    """Zip64 records as the common writers make them: Python's zipfile with every size and
    offset in Zip64 form and the Zip64 end records (its limit lowered to 0), the same to a
    stream that cannot seek (data descriptors with 8-byte sizes), and Info-ZIP `zip -fz`."""
    limit = zipfile.ZIP64_LIMIT
    zipfile.ZIP64_LIMIT = 0
    try:
        path = os.path.join(HERE, 'zip64-python.zip')
        with zipfile.ZipFile(path, 'w') as z:
            info = zipfile.ZipInfo('sub/deflated.txt', date_time=(2001, 2, 3, 4, 5, 6))
            info.compress_type = zipfile.ZIP_DEFLATED
            with z.open(info, 'w', force_zip64=True) as f:
                f.write(e)
            info = zipfile.ZipInfo('stored.bin', date_time=(2001, 2, 3, 4, 5, 6))
            with z.open(info, 'w', force_zip64=True) as f:
                f.write(e[:700])
    finally:
        zipfile.ZIP64_LIMIT = limit
    subprocess.run(['unzip', '-tq', path], check=True)

    class Unseekable(io.BytesIO):
        def seek(self, *args):
            raise OSError('cannot seek')

    out = Unseekable()
    with zipfile.ZipFile(out, 'w', compression=zipfile.ZIP_DEFLATED) as z:
        info = zipfile.ZipInfo('streamed.txt', date_time=(2001, 2, 3, 4, 5, 6))
        info.compress_type = zipfile.ZIP_DEFLATED
        with z.open(info, 'w', force_zip64=True) as f:
            f.write(e[:2000])
    path = os.path.join(HERE, 'zip64-stream.zip')
    with open(path, 'wb') as f:
        f.write(out.getvalue())
    subprocess.run(['unzip', '-tq', path], check=True)

    path = os.path.join(HERE, 'zip64-infozip.zip')
    if os.path.exists(path):
        os.remove(path)
    with tempfile.TemporaryDirectory() as tmp:
        with open(os.path.join(tmp, 'fz.txt'), 'wb') as f:
            f.write(e[:1500])
        subprocess.run(['zip', '-q', '-X', '-fz', path, 'fz.txt'], cwd=tmp, check=True)
    subprocess.run(['unzip', '-tq', path], check=True)


if __name__ == '__main__':
    main()
