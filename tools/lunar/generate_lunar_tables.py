#!/usr/bin/env python3
"""Writes src/calendar/LunarTables.h from the published tables and their corrections.

Source of truth: base_tables.tsv holds the widely published 1901-2050 tables as they are, and
corrections.tsv the entries that disagree with the astronomical rule (new moon and solar-term
moments in Beijing time). Each correction names the value it replaces, so a base table that
drifts from what a correction was checked against stops the generator instead of being patched
blindly.

  generate_lunar_tables.py OUTPUT        write the header
  generate_lunar_tables.py --check FILE  exit 1 when FILE differs from what would be written
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FIRST_YEAR, LAST_YEAR = 1901, 2050
YEARS = LAST_YEAR - FIRST_YEAR + 1


def rows(path):
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if line and not line.startswith('#'):
                yield number, line.split('\t')


def read_base(path):
    months, leaps, terms = [], [], []
    for number, fields in rows(path):
        year, month_word, leap, term_bytes = fields
        if int(year) != FIRST_YEAR + len(months):
            sys.exit(f'{path}:{number}: year {year} out of order')
        months.append(int(month_word, 16))
        leaps.append(int(leap))
        values = [int(b, 16) for b in term_bytes.split()]
        if len(values) != 12 or not 0 <= leaps[-1] <= 12:
            sys.exit(f'{path}:{number}: expected 12 solar-term bytes and a leap month 0-12')
        terms.extend(values)
    if len(months) != YEARS:
        sys.exit(f'{path}: {len(months)} years, expected {YEARS}')
    return months, leaps, terms


def apply_corrections(path, months, terms):
    notes = []
    for number, fields in rows(path):
        kind, year, month, old, new, effect = fields
        y = int(year) - FIRST_YEAR
        if kind == 'month-word':
            table, index, label = months, y, f'month lengths {year}'
        elif kind == 'term-byte':
            table, index, label = terms, y * 12 + int(month) - 1, f'solar terms {year}-{int(month):02d}'
        else:
            sys.exit(f'{path}:{number}: unknown kind {kind}')
        if table[index] != int(old, 16):
            sys.exit(f'{path}:{number}: {label} is {table[index]:X} in the base table, not {old}')
        table[index] = int(new, 16)
        notes.append(f'//   {label}: {old} -> {new}: {effect}')
    return notes


def header(months, leaps, terms, notes):
    out = [f'// Constant tables of the Chinese lunar calendar, lunar years {FIRST_YEAR} to {LAST_YEAR} '
           '(generated; do not edit).',
           '#pragma once',
           '',
           '#include <cstdint>',
           '',
           '// Corrected against the astronomical rule (new moon and solar-term moments in Beijing time):']
    out += notes
    out += ['',
            'namespace LunarTables {',
            '',
            f'inline constexpr int kFirstYear = {FIRST_YEAR};',
            f'inline constexpr int kLastYear = {LAST_YEAR};',
            '',
            '// One word per lunar year: month 1 in bit 15 downwards, a leap month right after its regular month;',
            '// a set bit is a month of 30 days, a clear bit 29.',
            f'inline constexpr std::uint16_t kMonthLengths[{YEARS}] = {{']
    for start in range(0, YEARS, 10):
        words = ', '.join(f'0x{w:04X}' for w in months[start:start + 10])
        out.append(f'    {words}, // {FIRST_YEAR + start}-{FIRST_YEAR + start + 9}')
    out += ['};',
            '',
            f'// Two years per byte: high nibble for {FIRST_YEAR}, {FIRST_YEAR + 2}, ..., low nibble for '
            f'{FIRST_YEAR + 1}, {FIRST_YEAR + 3}, ...;',
            '// the number of the month followed by a leap month, 0 for none.',
            f'inline constexpr std::uint8_t kLeapMonths[{YEARS // 2}] = {{']
    packed = [leaps[i] << 4 | leaps[i + 1] for i in range(0, YEARS, 2)]
    for start in range(0, len(packed), 5):
        values = ', '.join(f'0x{b:02X}' for b in packed[start:start + 5])
        out.append(f'    {values}, // {FIRST_YEAR + 2 * start}-{FIRST_YEAR + 2 * start + 9}')
    out += ['};',
            '',
            '// One byte per Gregorian month: first term on day 15 - high nibble, second on day 15 + low nibble.',
            f'inline constexpr std::uint8_t kSolarTerms[{YEARS * 12}] = {{']
    for y in range(YEARS):
        values = ', '.join(f'0x{b:02X}' for b in terms[y * 12:y * 12 + 12])
        out.append(f'    {values}, // {FIRST_YEAR + y}')
    out += ['};', '', '} // namespace LunarTables', '']
    return '\n'.join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--check', action='store_true', help='compare with FILE instead of writing it')
    parser.add_argument('file')
    args = parser.parse_args()
    months, leaps, terms = read_base(os.path.join(HERE, 'base_tables.tsv'))
    notes = apply_corrections(os.path.join(HERE, 'corrections.tsv'), months, terms)
    text = header(months, leaps, terms, notes)
    if args.check:
        with open(args.file, encoding='utf-8', newline='') as f:
            if f.read() != text:
                print(f'{args.file} differs from the generator output; run\n'
                      f'  {sys.argv[0]} {args.file}', file=sys.stderr)
                return 1
        print(f'{args.file} matches the generator output')
        return 0
    with open(args.file, 'w', encoding='utf-8', newline='') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
