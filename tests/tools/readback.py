#!/usr/bin/env python3
# Reads an exported agenda back with standard parsers and prints it a row a
# line, fields joined by '|':
#   readback.py ics FILE -> date|start|end|summary, an event a line (YYYY-MM-DD|HH:MM|HH:MM|text)
#                           (icalendar, the parser phone calendars' servers use)
#   readback.py csv FILE -> the rows, the header first
#                           (Python's csv module, the RFC 4180 dialect)
# Exits 1 with the parser's traceback when the file is refused.
import csv
import sys


def read(kind, path):
    if kind == "csv":
        with open(path, newline="", encoding="utf-8-sig") as f:
            return list(csv.reader(f, strict=True))
    import icalendar
    with open(path, "rb") as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    return [[event.decoded("DTSTART").strftime("%Y-%m-%d|%H:%M"),
             (event.decoded("DTSTART") + event.decoded("DURATION")).strftime("%H:%M"), str(event.get("SUMMARY"))]
            for event in calendar.walk("VEVENT")]


for row in read(sys.argv[1], sys.argv[2]):
    print("|".join(str(field) for field in row))
