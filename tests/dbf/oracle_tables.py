#!/usr/bin/python3
"""Writes random Visual FoxPro tables with python3-dbf and what dbfread reads from them.

usage: oracle_tables.py <folder> <seed> <tables>

For table k it writes <folder>/t<k>.dbf (and .fpt) and <folder>/t<k>.txt:
  table <language driver> <header length> <record length> <records>
  field <name> <type> <length> <decimals> <offset>        one per field
  record <id> <deleted 0/1> <hex of each field's bytes>... every record, deleted ones too
  memo <field index> <hex of the memo's bytes, or - when empty>   after its record
and <folder>/drivers.txt with dbfread's language driver table: <id> <encoding>.
"""
import datetime
import decimal
import os
import random
import sys

import dbf
import dbfread
import dbfread.codepages

CODE_PAGES = {
    'cp1250': 'abcXYZ019 ěščřžýáíéůúťďňĚŠČŘŽÝÁÍÉŮ.,-',
    'cp852': 'abcXYZ019 ěščřžýáíéůúťďňĚŠČŘŽÝÁÍÉŮ─│',
    'cp1252': 'abcXYZ019 àéüßÄÖÜ€£ñ',
    'cp437': 'abcXYZ019 éüßÄÖÜ£ñ│─',
}
TYPES = ['C', 'N', 'F', 'D', 'L', 'M', 'I', 'Y', 'T', 'B']


def random_field(rng, index):
    kind = rng.choice(TYPES)
    name = 'F%d_%s' % (index, kind)
    if kind == 'C':
        spec = '%s C(%d)' % (name, rng.randint(1, 254))
    elif kind in 'NF':
        length = rng.randint(1, 20)
        decimals = rng.randint(0, max(0, min(length - 2, 15)))
        spec = '%s %s(%d,%d)' % (name, kind, length, decimals)
    else:
        spec = '%s %s' % (name, kind)
    if rng.random() < 0.3:
        spec += ' null'
    return spec


def random_value(rng, field, alphabet):
    kind = field.split()[1][0]
    if ' null' in field and rng.random() < 0.2:
        return None
    if kind == 'C':
        length = int(field.split('(')[1].rstrip(') null'))
        return ''.join(rng.choice(alphabet) for _ in range(rng.randint(0, length)))
    if kind in 'NF':
        length, decimals = (int(x) for x in field.split('(')[1].split(')')[0].split(','))
        # python3-dbf keeps room for a sign and a leading zero.
        digits = length - (decimals + 1 if decimals else 0) - 2
        if digits < 1:
            return 0
        whole = rng.randint(0, 10 ** min(digits, 15) - 1)
        value = decimal.Decimal(whole) + decimal.Decimal(rng.randint(0, 10 ** decimals - 1)) / (
            10 ** decimals) if decimals else whole
        return -value if rng.random() < 0.3 else value
    if kind == 'D':
        return datetime.date(1900, 1, 1) + datetime.timedelta(days=rng.randint(0, 70000))
    if kind == 'L':
        return rng.choice([True, False])
    if kind == 'M':
        size = rng.choice([0, 1, 50, 120, 600, 1500])
        return ''.join(rng.choice(alphabet) for _ in range(size))
    if kind == 'I':
        return rng.randint(-2 ** 31, 2 ** 31 - 1)
    if kind == 'Y':
        return decimal.Decimal(rng.randint(-10 ** 12, 10 ** 12)) / 10000
    if kind == 'T':
        return datetime.datetime(1950, 1, 1) + datetime.timedelta(
            seconds=rng.randint(0, 3 * 10 ** 9))
    if kind == 'B':
        return rng.uniform(-1e9, 1e9)
    raise ValueError(kind)


def write_table(folder, number, rng):
    code_page = rng.choice(sorted(CODE_PAGES))
    alphabet = CODE_PAGES[code_page]
    fields = ['ID I'] + [random_field(rng, i) for i in range(rng.randint(1, 12))]
    path = os.path.join(folder, 't%d.dbf' % number)
    table = dbf.Table(path, '; '.join(fields), dbf_type='vfp', codepage=code_page)
    table.open(dbf.READ_WRITE)
    for record_id in range(rng.randint(0, 30)):
        table.append((record_id,) + tuple(random_value(rng, field, alphabet)
                                          for field in fields[1:]))
    for record in table:
        if rng.random() < 0.2:
            dbf.delete(record)
    table.close()
    return path


def describe(path, out):
    raw = dbfread.DBF(path, raw=True, encoding='latin-1', ignore_missing_memofile=True)
    text = dbfread.DBF(path, encoding='latin-1', char_decode_errors='strict',
                         ignore_missing_memofile=True)
    header = raw.header
    out.write('table %d %d %d %d\n' % (header.language_driver, header.headerlen,
                                       header.recordlen, header.numrecords))
    for field in raw.fields:
        out.write('field %s %s %d %d %d\n' % (field.name, field.type, field.length,
                                              field.decimal_count, field.address))
    memo_fields = [i for i, field in enumerate(raw.fields) if field.type == 'M']
    # dbfread gives active and deleted records apart; the ID field tells them apart.
    for record_type in (b' ', b'*'):
        for raw_record, text_record in zip(raw._iter_records(record_type),
                                           text._iter_records(record_type)):
            out.write('record %d %d %s\n' % (
                text_record['ID'], record_type == b'*', ' '.join(
                value.hex() for value in raw_record.values())))
            values = list(text_record.values())
            for index in memo_fields:
                memo = values[index]
                out.write('memo %d %s\n' % (index, memo.encode('latin-1').hex()
                                              if memo else '-'))


def main():
    folder, seed, tables = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(seed)
    for number in range(tables):
        path = write_table(folder, number, rng)
        with open(os.path.join(folder, 't%d.txt' % number), 'w') as out:
            describe(path, out)
    with open(os.path.join(folder, 'drivers.txt'), 'w') as out:
        for language_id, (encoding, _) in sorted(dbfread.codepages.codepages.items()):
            out.write('%d %s\n' % (language_id, encoding))
    return 0


if __name__ == '__main__':
    sys.exit(main())
