"""Reads a vCard file and an iCalendar file the way other programs do, with
Debian's python3-vobject and python3-icalendar, and prints what they hold:
one line per card (its name, category, phone and address) and per event
(its day, the day it recurs on in 2001, and its summary), then the counts. Fails on anything the readers refuse, on a
repeated UID, on an event that is not a yearly all-day event of the year
2000, and on a card that is not vCard 4.0.

Usage: contacts_check.py FILE.vcf FILE.ics
Exit status 77 when the modules are missing (the test is then skipped).
"""
import datetime
import sys

try:
    import icalendar
    import vobject
    from dateutil import rrule
except ImportError:
    sys.exit(77)


def fail(message):
    print(message)
    sys.exit(1)


def main(vcf, ics):
    with open(vcf, encoding="utf-8", newline="") as f:
        text = f.read()
    cards = list(vobject.readComponents(text, validate=True))
    uids = set()
    for card in cards:
        card.validate(raiseException=True)
        if card.version.value != "4.0":
            fail("not vCard 4.0: " + card.version.value)
        uids.add(card.uid.value)
        tel = card.tel.value if hasattr(card, "tel") else "-"
        adr = card.adr.value if hasattr(card, "adr") else None
        street = "/".join(adr.street) if adr and isinstance(adr.street, list) else (adr.street if adr else "")
        where = "%s|%s|%s|%s" % (street, adr.city, adr.region, adr.code) if adr else "-"
        print("card %s|%s|%s|%s" % (card.fn.value, card.categories.value, tel, where))
    if len(uids) != len(cards):
        fail("repeated card UID")

    with open(ics, "rb") as f:
        cal = icalendar.Calendar.from_ical(f.read())
    errors = [(c.name, c.errors) for c in cal.walk() if c.errors]
    if errors:
        fail("calendar errors: %r" % errors)
    events = cal.walk("VEVENT")
    uids = set()
    for event in events:
        start = event["DTSTART"].dt
        if isinstance(start, datetime.datetime) or start.year != 2000:
            fail("not an all-day date of 2000: %r" % start)
        if event["RRULE"]["FREQ"] != ["YEARLY"] or "DTSTAMP" not in event:
            fail("not a yearly event with a stamp: %s" % event["SUMMARY"])
        uids.add(str(event["UID"]))
        rule = rrule.rrulestr(event["RRULE"].to_ical().decode(),
                              dtstart=datetime.datetime(2000, start.month, start.day))
        next_year = rule.after(datetime.datetime(2001, 1, 1), inc=True)
        print("event %s %s %s" % (start.strftime("%m-%d"), next_year.strftime("%m-%d"),
                                  event["SUMMARY"]))
    if len(uids) != len(events):
        fail("repeated event UID")
    print("%d cards, %d events" % (len(cards), len(events)))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
