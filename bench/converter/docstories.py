"""A small reader of a Word 97-2003 file's stories, for the fidelity bench:
the header document's text as stored, and the headers and footers as Word
shows them, page by page (a section's header on each of its pages, a PAGE
field showing the page's number).

Reads the compound file, the FIB's story lengths, the piece table, the
section table and the header story table; nothing else.
"""
import array
import struct

FREE, END = 0xFFFFFFFF, 0xFFFFFFFE


def ole_streams(path):
    data = open(path, 'rb').read()
    if data[:8] != bytes.fromhex('d0cf11e0a1b11ae1'):
        raise ValueError(f'{path}: not a compound file')
    sector = 1 << struct.unpack_from('<H', data, 0x1E)[0]
    mini = 1 << struct.unpack_from('<H', data, 0x20)[0]
    first_dir, cutoff, first_minifat = struct.unpack_from('<I', data, 0x30)[0], *struct.unpack_from('<II', data, 0x38)
    first_difat, n_difat = struct.unpack_from('<II', data, 0x44)
    difat = [s for s in struct.unpack_from('<109I', data, 0x4C) if s not in (FREE, END)]
    s = first_difat
    for _ in range(n_difat):
        off = 512 + s * sector
        entries = struct.unpack_from(f'<{sector // 4}I', data, off)
        difat += [e for e in entries[:-1] if e not in (FREE, END)]
        s = entries[-1]
    fat = []
    for s in difat:
        fat += struct.unpack_from(f'<{sector // 4}I', data, 512 + s * sector)

    def chain(start, table, size, base, unit):
        out, s = bytearray(), start
        while s not in (FREE, END) and len(out) < size:
            at = s * unit + (512 if base is data else 0)
            out += base[at:at + unit]
            s = table[s]
        return bytes(out[:size])

    directory = chain(first_dir, fat, 1 << 30, data, sector)
    entries = []
    for off in range(0, len(directory), 128):
        e = directory[off:off + 128]
        n = struct.unpack_from('<H', e, 0x40)[0]
        name = e[:max(n - 2, 0)].decode('utf-16-le')
        kind = e[0x42]
        start, size = struct.unpack_from('<IQ', e, 0x74)
        entries.append((name, kind, start, size))
    root = entries[0]
    ministream = chain(root[2], fat, root[3], data, sector)
    minifat_bytes = chain(first_minifat, fat, 1 << 30, data, sector)
    minifat = list(struct.unpack(f'<{len(minifat_bytes) // 4}I', minifat_bytes))
    streams = {}
    for name, kind, start, size in entries[1:]:
        if kind != 2:
            continue
        if size < cutoff:
            streams[name] = chain(start, minifat, size, ministream, mini)
        else:
            streams[name] = chain(start, fat, size, data, sector)
    return streams


def _fc_lcb(word, index):
    return struct.unpack_from('<II', word, 154 + 8 * index)


def _plc(table, fc, lcb, data_size):
    n = (lcb - 4) // (4 + data_size)
    cps = struct.unpack_from(f'<{n + 1}i', table, fc)
    return list(cps), [table[fc + 4 * (n + 1) + i * data_size:][:data_size] for i in range(n)]


def _whole_text(word, table):
    fc, lcb = _fc_lcb(word, 33)  # Clx
    clx = table[fc:fc + lcb]
    i = 0
    while clx[i] == 1:
        i += 3 + struct.unpack_from('<H', clx, i + 1)[0]
    assert clx[i] == 2
    size = struct.unpack_from('<I', clx, i + 1)[0]
    cps, pcds = _plc(clx, i + 5, size, 8)
    # UTF-16 code units, one per character position (a character outside the
    # BMP takes two), so that positions index the text directly.
    out = array.array('H')
    for k, pcd in enumerate(pcds):
        n = cps[k + 1] - cps[k]
        fc_piece = struct.unpack_from('<I', pcd, 2)[0]
        if fc_piece & 0x40000000:
            at = (fc_piece & ~0x40000000) // 2
            out.extend(ord(c) for c in word[at:at + n].decode('cp1252', errors='replace'))
        else:
            out.frombytes(word[fc_piece:fc_piece + 2 * n])
    return out


def _decode(units):
    return units.tobytes().decode('utf-16-le', errors='replace')


def _shown(story, page):
    """A story's text as shown: field codes dropped, a PAGE field's result the page number."""
    out, i = [], 0
    while i < len(story):
        c = story[i]
        if c == '\x13':
            sep = story.find('\x14', i)
            end = story.find('\x15', i)
            if end < 0:
                break
            code = story[i + 1:sep if 0 <= sep < end else end]
            result = story[sep + 1:end] if 0 <= sep < end else ''
            out.append(str(page) if code.strip().upper().startswith('PAGE') else result)
            i = end + 1
            continue
        out.append(c)
        i += 1
    return ''.join(out)


def running_text(path):
    """(header document text as stored, headers and footers as shown on every page)."""
    streams = ole_streams(path)
    word = streams['WordDocument']
    flags = struct.unpack_from('<H', word, 10)[0]
    table = streams['1Table' if flags & 0x0200 else '0Table']
    ccp_text, ccp_ftn, ccp_hdd = struct.unpack_from('<iii', word, 76)
    if ccp_hdd == 0:
        return '', ''
    text = _whole_text(word, table)
    hdd = text[ccp_text + ccp_ftn:ccp_text + ccp_ftn + ccp_hdd]
    page_break = ord('\x0c')
    hdd_cps, _ = _plc(table, *_fc_lcb(word, 11), 0)
    sed_cps, _ = _plc(table, *_fc_lcb(word, 6), 12)
    stories = [_decode(hdd[hdd_cps[k]:hdd_cps[k + 1]]) for k in range(len(hdd_cps) - 1)]
    shown, page = [], 0
    current = {1: '', 3: ''}  # odd-page header and footer: the ones for every page
    for s in range(len(sed_cps) - 1):
        for k in current:
            i = 6 + 6 * s + k
            if i < len(stories) and stories[i]:
                current[k] = stories[i]  # an empty story keeps the section before's
        body = text[sed_cps[s]:sed_cps[s + 1]]
        pages = body[:-1].count(page_break) + 1
        for _ in range(pages):
            page += 1
            shown += [_shown(current[1], page), _shown(current[3], page)]
    return _decode(hdd), '\n'.join(shown)


def body_and_notes(path):
    """(main text as shown, footnote text as shown): Word sets a footnote at
    the foot of its mark's page, where catdoc's one text puts it at the end."""
    streams = ole_streams(path)
    word = streams['WordDocument']
    flags = struct.unpack_from('<H', word, 10)[0]
    table = streams['1Table' if flags & 0x0200 else '0Table']
    ccp_text, ccp_ftn = struct.unpack_from('<ii', word, 76)
    text = _whole_text(word, table)  # positions count UTF-16 units: slice before decoding
    return _shown(_decode(text[:ccp_text]), 0), _shown(_decode(text[ccp_text:ccp_text + ccp_ftn]), 0)
