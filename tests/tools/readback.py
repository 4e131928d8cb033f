#!/usr/bin/env python3
"""Reads an exported agenda back with standard parsers and prints it as JSON.

readback.py ics FILE  -> [[start "YYYY-MM-DDTHH:MM", minutes, summary], ...]
                         (icalendar, the parser phone calendars' servers use)
readback.py csv FILE  -> [[field, ...], ...] including the header row
                         (Python's csv module, the RFC 4180 dialect)
Exits 1 with the parser's message when the file is refused.
"""
import csv
import json
import sys


def read_ics(path):
    import icalendar
    with open(path, "rb") as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    events = []
    for event in calendar.walk("VEVENT"):
        start = event.decoded("DTSTART")
        length = event.decoded("DURATION")
        events.append([start.strftime("%Y-%m-%dT%H:%M"), int(length.total_seconds() // 60),
                       str(event.get("SUMMARY"))])
    return events


def read_csv(path):
    with open(path, newline="", encoding="utf-8-sig") as f:
        return [row for row in csv.reader(f, strict=True)]


def main():
    kind, path = sys.argv[1], sys.argv[2]
    try:
        rows = read_ics(path) if kind == "ics" else read_csv(path)
    except Exception as error:  # the parser's refusal is the result
        print(f"{type(error).__name__}: {error}", file=sys.stderr)
        return 1
    json.dump(rows, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
