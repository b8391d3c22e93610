#!/usr/bin/python3
"""Writes the invoice tables fap.dbf and fav.dbf (Visual FoxPro, code page 1250, memo files
fap.fpt and fav.fpt) with a given number of records each, for the export benchmarks.

    /usr/bin/python3 make_invoice_tables.py FOLDER RECORDS_PER_TABLE [--seed N]

The first few thousand records of each table are written by python3-dbf, with varied Czech
text, amounts and dates, some empty dates and amounts and about 2% deleted records. python3-dbf
writes only a few thousand records a second, so larger tables are completed at the byte level:
the written records are repeated with new ID, CISLO and VARSYM values, and the header's record
count is set. Repeated records share the memo blocks of the record they copy, which keeps every
memo pointer valid.
"""

import argparse
import datetime
import os
import random
import struct
import sys

import dbf

FIELDS = ('ID N(10,0); CISLO C(20); VARSYM C(20); DATUM D; DATSPLAT D; DATLIKV D; '
          'KCCELKEM N(15,2); KCLIKV N(15,2); CMCELKEM N(15,2); ICO C(12); DIC C(14); '
          'FIRMA C(60); POZNAMKA M')

# How many records python3-dbf writes before the rest is repeated at the byte level.
WRITTEN_RECORDS = 4000

COMPANY_WORDS = [
    'Stavební', 'Dřevařské', 'Zámečnictví', 'Účetní', 'Pekárna', 'Řeznictví', 'Elektro',
    'Autoservis', 'Truhlářství', 'Šumavské', 'Žďárská', 'Kovovýroba', 'Vodárny', 'Tiskárna',
    'Sklárny', 'Zahradnictví', 'Čistírna', 'Lékárna', 'Velkoobchod', 'Doprava',
]
COMPANY_SECOND = [
    'služby', 'závody', 'družstvo', 'kancelář', 'výroba', 'obchod', 'Brno', 'Plzeň',
    'Ústí', 'České Budějovice', 'Hradec Králové', 'Jihlava', 'Třebíč', 'Olomouc',
]
COMPANY_FORMS = [' s.r.o.', ' a.s.', ' spol. s r.o.', ' v.o.s.', ' k.s.', '']
PEOPLE = [
    'Jiří Novák', 'Růžena Černá', 'Petr Dvořák', 'Jana Šťastná', 'Tomáš Řezníček',
    'Květoslava Žáková', 'Ondřej Kučera', 'Zdeňka Horáková',
]
NOTES = [
    'Zboží převzato bez výhrad.',
    'Platba převodem, upomínka odeslána.',
    'Dobropis k faktuře, vráceno zboží.',
    'Záloha uhrazena v hotovosti.',
    'Čeká na schválení vedoucím střediska.',
    'Reklamace vyřízena, částka snížena o slevu.',
    'Dodací list č. 4471 a 4472.',
]


def company(rng):
    if rng.random() < 0.15:
        return rng.choice(PEOPLE)
    return (rng.choice(COMPANY_WORDS) + ' ' + rng.choice(COMPANY_SECOND) +
            rng.choice(COMPANY_FORMS))


def note(rng):
    if rng.random() < 0.6:
        return ''
    lines = rng.sample(NOTES, rng.randint(1, 3))
    return '\r\n'.join(lines)


def amount(rng):
    value = round(rng.uniform(50, 2_500_000) if rng.random() < 0.2 else rng.uniform(50, 60_000), 2)
    if rng.random() < 0.04:
        value = -value  # credit notes
    return value


def invoice_number(letter, year, sequence):
    return '%s%02d%07d' % (letter, year % 100, sequence)


def variable_symbol(year, sequence):
    return '%d%06d' % (year, sequence % 1_000_000)


def record_values(rng, letter, sequence):
    day = datetime.date(2015, 1, 1) + datetime.timedelta(days=rng.randrange(4350))
    total = None if rng.random() < 0.02 else amount(rng)
    paid_on = None
    paid = 0.0
    if total is not None and rng.random() < 0.6:
        paid_on = day + datetime.timedelta(days=rng.randrange(90))
        paid = total if rng.random() < 0.85 else round(total / 2, 2)
    if rng.random() < 0.03:
        paid = None
    foreign = round(total / 25.2, 2) if total is not None and rng.random() < 0.1 else None
    ico = '' if rng.random() < 0.05 else '%08d' % rng.randrange(10_000_000, 99_999_999)
    dic = 'CZ' + ico if ico and rng.random() < 0.8 else ''
    number = invoice_number(letter, day.year, sequence)
    if letter == 'P' and rng.random() < 0.3:
        number = 'ZF/%d/%d' % (day.year, sequence)  # the supplier's own numbering
    return (
        sequence,
        number,
        '' if rng.random() < 0.05 else variable_symbol(day.year, sequence),
        None if rng.random() < 0.03 else day,
        None if rng.random() < 0.03 else day + datetime.timedelta(days=rng.choice((14, 14, 30))),
        paid_on,
        total,
        paid,
        foreign,
        ico,
        dic,
        company(rng),
        note(rng),
    )


def write_with_dbf(path, letter, count, rng):
    table = dbf.Table(path, FIELDS, dbf_type='vfp', codepage='cp1250')
    table.open(dbf.READ_WRITE)
    try:
        for sequence in range(1, count + 1):
            table.append(record_values(rng, letter, sequence))
            if rng.random() < 0.02:
                dbf.delete(table[-1])
    finally:
        table.close()


def field_layout(header):
    """Offset and length of each field in a record, by name, from the field descriptors."""
    layout = {}
    position = 32
    while position + 32 <= len(header) and header[position] != 0x0D:
        name = header[position:position + 11].split(b'\0', 1)[0].decode('ascii')
        offset, length = struct.unpack_from('<IB', header, position + 12)
        layout[name] = (offset, length)
        position += 32
    return layout


def put(record, field, text, right_aligned=False):
    offset, length = field
    data = text.encode('ascii')[:length]
    data = data.rjust(length) if right_aligned else data.ljust(length)
    record[offset:offset + length] = data


def repeat_records(path, letter, count):
    """Extends the table at `path` to `count` records by repeating its records."""
    with open(path, 'rb') as f:
        content = f.read()
    written, header_length, record_length = struct.unpack_from('<IHH', content, 4)
    header = bytearray(content[:header_length])
    records_end = header_length + written * record_length
    templates = [content[header_length + i * record_length:header_length + (i + 1) * record_length]
                 for i in range(written)]
    trailer = content[records_end:]
    layout = field_layout(header)
    id_field, number_field, symbol_field, date_field = (
        layout['ID'], layout['CISLO'], layout['VARSYM'], layout['DATUM'])
    struct.pack_into('<I', header, 4, count)

    temporary = path + '.tmp'
    with open(temporary, 'wb') as out:
        out.write(header)
        out.write(content[header_length:records_end])
        chunk = []
        for sequence in range(written + 1, count + 1):
            record = bytearray(templates[(sequence - 1) % written])
            put(record, id_field, str(sequence), right_aligned=True)
            date = record[date_field[0]:date_field[0] + 4].strip()
            year = int(date) if date else 2020
            put(record, number_field, invoice_number(letter, year, sequence))
            if record[symbol_field[0]:symbol_field[0] + symbol_field[1]].strip():
                put(record, symbol_field, variable_symbol(year, sequence))
            chunk.append(record)
            if len(chunk) == 10_000:
                out.write(b''.join(chunk))
                chunk.clear()
        out.write(b''.join(chunk))
        out.write(trailer)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('folder')
    parser.add_argument('records', type=int, help='records per table')
    parser.add_argument('--seed', type=int, default=2017)
    args = parser.parse_args()
    if args.records < 0:
        parser.error('records must not be negative')
    os.makedirs(args.folder, exist_ok=True)
    rng = random.Random(args.seed)
    for name, letter in (('fap', 'P'), ('fav', 'V')):
        path = os.path.join(args.folder, name + '.dbf')
        for stale in (path, os.path.join(args.folder, name + '.fpt')):
            if os.path.exists(stale):
                os.remove(stale)
        write_with_dbf(path, letter, min(args.records, WRITTEN_RECORDS), rng)
        if args.records > WRITTEN_RECORDS:
            repeat_records(path, letter, args.records)
    return 0


if __name__ == '__main__':
    sys.exit(main())
