#!/usr/bin/python3
"""Writes the Visual FoxPro table (code page 1250, memo file) that bench_dbf_read reads.

    /usr/bin/python3 make_tables.py PATH.dbf RECORDS [--seed N]

python3-dbf writes the first records (varied Czech text, numbers, dates, memo values, about
2% deleted); it writes only a few thousand records a second, so the rest are copies of those
records at the byte level, with the header's record count set. Copies share the memo blocks
of the record they copy, so every memo pointer stays valid.
"""
import argparse
import datetime
import os
import random
import struct
import sys

import dbf

FIELDS = ('ID N(10,0); CISLO C(20); DATUM D; CASTKA N(15,2); KURZ B; POCET I; '
          'PLATI L; FIRMA C(60); POZNAMKA M')
WRITTEN = 2000
WORDS = ['Stavební', 'Dřevařské', 'Účetní', 'Pekárna', 'Řeznictví', 'Šumavské', 'Žďárská',
         'služby', 'závody', 'družstvo', 'Plzeň', 'Ústí', 's.r.o.', 'a.s.']


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('path')
    parser.add_argument('records', type=int)
    parser.add_argument('--seed', type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    base, _ = os.path.splitext(args.path)
    os.makedirs(os.path.dirname(os.path.abspath(base)), exist_ok=True)
    for ext in ('.dbf', '.fpt'):
        if os.path.exists(base + ext):
            os.remove(base + ext)

    written = min(WRITTEN, args.records)
    table = dbf.Table(base + '.dbf', FIELDS, dbf_type='vfp', codepage='cp1250')
    table.open(dbf.READ_WRITE)
    for n in range(written):
        table.append((
            n + 1,
            'FP%07d' % (n + 1),
            datetime.date(2015, 1, 1) + datetime.timedelta(days=rng.randint(0, 4000)),
            round(rng.uniform(-1000, 2_500_000), 2),
            rng.uniform(20, 30),
            rng.randint(-1000, 100000),
            rng.random() < 0.5,
            ' '.join(rng.choice(WORDS) for _ in range(rng.randint(1, 5)))[:60],
            '' if rng.random() < 0.6 else ' '.join(rng.choice(WORDS) for _ in range(40)),
        ))
    for record in table:
        if rng.random() < 0.02:
            dbf.delete(record)
    table.close()

    with open(base + '.dbf', 'r+b') as out:
        header = out.read(32)
        header_length, record_length = struct.unpack('<HH', header[8:12])
        out.seek(header_length)
        records = out.read(written * record_length)
        out.seek(header_length + written * record_length)
        out.truncate()
        remaining = args.records - written
        block = records * max(1, min(remaining // max(written, 1), 50))
        while remaining > 0:
            chunk = block[:remaining * record_length]
            out.write(chunk)
            remaining -= len(chunk) // record_length
        out.write(b'\x1a')
        out.seek(4)
        out.write(struct.pack('<I', args.records))
    return 0


if __name__ == '__main__':
    sys.exit(main())
