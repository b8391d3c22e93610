#!/usr/bin/python3
"""Writes the sample accounting tables fap.dbf and fav.dbf (Visual FoxPro, code page 1250,
with a memo field and some deleted records) into the folder given as the first argument.

Run with Debian's /usr/bin/python3 (python3-dbf)."""
import datetime
import os
import sys

import dbf

FIELDS = ('ID N(10,0); CISLO C(20); VARSYM C(20); DATUM D; DATSPLAT D; DATLIKV D; '
          'KCCELKEM N(15,2); KCLIKV N(15,2); CMCELKEM N(15,2); ICO C(12); DIC C(14); '
          'FIRMA C(60); POZNAMKA M')

D = datetime.date

RECEIVED = [
    (1, 'FP-2017-001', '2017001', D(2017, 4, 11), D(2017, 4, 25), None, 12100.5, 12100.5, None,
     '25596641', 'CZ25596641', 'Žluťoučký kůň s.r.o.', 'Přijatá faktura za materiál'),
    (2, 'FP-2017-002', '2017002', D(2017, 5, 2), D(2017, 5, 16), D(2017, 5, 10), 4840, 0,
     4840, '47114983', 'CZ47114983', 'Stavby Šťastný a.s.', ''),
    (3, 'FP-2017-003', '2017003', D(2017, 5, 3), D(2017, 5, 17), None, 999.99, 500, 999.99,
     '60193336', '', 'Pekárna Čermák', 'Zálohová faktura'),
]
ISSUED = [
    (10, 'FV-2017-100', '2017100', D(2017, 6, 1), D(2017, 6, 15), None, 25000, 25000, 25000,
     '25596641', 'CZ25596641', 'Žluťoučký kůň s.r.o.', 'Vydaná faktura – servis'),
    (11, 'FV-2017-101', '2017101', D(2017, 6, 2), D(2017, 6, 16), D(2017, 6, 20), -1250.5, 0,
     -1250.5, '60193336', '', 'Pekárna Čermák', 'Dobropis'),
    (12, 'FV-2017-102', '2017102', D(2017, 6, 3), D(2017, 6, 17), None, 3630, 1000, 3630,
     '11111111', 'CZ11111111', 'Neznámý odběratel', ''),
]


def write(path, rows, deleted_ids):
    table = dbf.Table(path, FIELDS, dbf_type='vfp', codepage='cp1250')
    table.open(dbf.READ_WRITE)
    for row in rows:
        table.append(row)
    for record in table:
        if record.id in deleted_ids:
            dbf.delete(record)
    table.close()


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, 'fap.dbf'), RECEIVED + [
        (4, 'FP-2017-004', '2017004', D(2017, 5, 9), D(2017, 5, 23), None, 1, 1, 1, '1', '',
         'Stornovaná', 'smazaný záznam')], {4})
    write(os.path.join(folder, 'fav.dbf'), [
        (9, 'FV-2017-099', '2017099', D(2017, 5, 30), D(2017, 6, 13), None, 5, 5, 5, '1', '',
         'Stornovaná', 'smazaný záznam')] + ISSUED, {9})


if __name__ == '__main__':
    main()
