#!/usr/bin/python3
# Reads the record files a phone backup wrote with readers this project did
# not write (vobject for vCard and iCalendar, icalendar for iCalendar, the
# standard library for XML) and checks every value of the phone's provider
# fixtures arrived unchanged. Usage: check_records.py PROVIDERS_DIR OUTPUT_DIR
import base64, datetime, json, os, sys
import xml.etree.ElementTree as ET
import icalendar, vobject

providers, out = sys.argv[1], sys.argv[2]
failures = []

def table(name):
    with open(os.path.join(providers, name), encoding='utf-8') as f:
        t = json.load(f)
    return [dict(zip(t['columns'], r)) for r in t['rows']], t.get('streams', {})

def check(what, got, want):
    if got != want:
        failures.append('%s: got %r, want %r' % (what, got, want))

def text(v):
    return None if v is None else str(v)

# Contacts: one card per raw contact that is not deleted, in id order.
raws, _ = table('contacts_raw.json')
data, streams = table('contacts_data.json')
with open(os.path.join(out, 'contacts.vcf'), encoding='utf-8', newline='') as f:
    cards = list(vobject.readComponents(f.read()))
live = [r['_id'] for r in raws if r['deleted'] == 0]
check('number of cards', len(cards), len(live))
M = 'vnd.android.cursor.item/'
for rid, card in zip(live, cards):
    rows = [d for d in data if d['raw_contact_id'] == rid]
    def of(kind): return [d for d in rows if d['mimetype'] == M + kind]
    def values(name): return [c.value for c in card.contents.get(name, [])]
    for n in of('name'):
        check('FN of %d' % rid, card.fn.value, n['data1'])
        nv = card.n.value
        check('N of %d' % rid, [nv.family, nv.given, nv.additional, nv.prefix, nv.suffix],
              [n['data3'] or '', n['data2'] or '', n['data5'] or '', n['data4'] or '', n['data6'] or ''])
    check('TEL of %d' % rid, values('tel'), [d['data1'] for d in of('phone_v2')])
    check('EMAIL of %d' % rid, values('email'), [d['data1'] for d in of('email_v2')])
    check('NICKNAME of %d' % rid, values('nickname'), [d['data1'] for d in of('nickname')])
    check('NOTE of %d' % rid, values('note'), [d['data1'] for d in of('note')])
    check('URL of %d' % rid, values('url'), [d['data1'] for d in of('website')])
    check('BDAY of %d' % rid, values('bday'), [d['data1'] for d in of('contact_event') if d['data2'] == 3])
    adrs = values('adr')
    want_adrs = []
    for d in of('postal-address_v2'):
        parts = [d[k] or '' for k in ('data5', 'data6', 'data4', 'data7', 'data8', 'data9', 'data10')]
        if not any(parts): parts[2] = d['data1']
        want_adrs.append(parts)
    check('ADR of %d' % rid, [[a.box, a.extended, a.street, a.city, a.region, a.code, a.country] for a in adrs], want_adrs)
    for o in of('organization'):
        check('ORG of %d' % rid, card.org.value, [o['data1']] + ([o['data5']] if o['data5'] else []))
        if o['data4']: check('TITLE of %d' % rid, card.title.value, o['data4'])
    for p in of('photo'):
        uri = ('content://com.android.contacts/raw_contacts/%d/display_photo' % rid) if p['data14'] is not None \
            else 'content://com.android.contacts/contacts/%d/photo' % p['contact_id']
        check('PHOTO of %d' % rid, card.photo.value, base64.b64decode(streams[uri]))

def attr(e, name):
    if name + '_base64' in e.attrib:
        return base64.b64decode(e.attrib[name + '_base64']).decode('utf-8')
    return e.attrib.get(name)

# SMS
sms, _ = table('sms.json')
root = ET.parse(os.path.join(out, 'sms.xml')).getroot()
check('sms root', root.tag, 'smses')
got = root.findall('sms')
check('number of sms', len(got), len(sms))
for row, e in zip(sms, got):
    for col, name in (('thread_id', 'thread'), ('address', 'address'), ('date', 'date'), ('date_sent', 'date_sent'),
                      ('type', 'type'), ('read', 'read'), ('status', 'status'), ('subject', 'subject'), ('body', 'body')):
        check('sms %d %s' % (row['_id'], name), attr(e, name), text(row[col]))

# MMS
mms, _ = table('mms.json')
parts, pstreams = table('mms_part.json')
addrs, _ = table('mms_addr.json')
got = ET.parse(os.path.join(out, 'mms.xml')).getroot().findall('mms')
check('number of mms', len(got), len(mms))
for row, e in zip(mms, got):
    mid = row['_id']
    check('mms %d date' % mid, attr(e, 'date'), str(row['date'] * 1000))
    check('mms %d subject' % mid, attr(e, 'subject'), row['sub'])
    check('mms %d addresses' % mid, [(a.get('address'), a.get('type')) for a in e.findall('addr')],
          [(a['address'], str(a['type'])) for a in addrs if a['msg_id'] == mid])
    mine = [p for p in parts if p['mid'] == mid]
    pe = e.findall('part')
    check('mms %d parts' % mid, len(pe), len(mine))
    for p, x in zip(mine, pe):
        check('mms part %d type' % p['_id'], x.get('ct'), p['ct'])
        if p['text'] is not None:
            check('mms part %d text' % p['_id'], attr(x, 'text'), p['text'])
        else:
            check('mms part %d bytes' % p['_id'], base64.b64decode(x.text or ''),
                  base64.b64decode(pstreams['content://mms/part/%d' % p['_id']]))

# Call log
calls, _ = table('calls.json')
got = ET.parse(os.path.join(out, 'calllog.xml')).getroot().findall('call')
check('number of calls', len(got), len(calls))
for row, e in zip(calls, got):
    for col in ('number', 'name', 'date', 'duration', 'type'):
        check('call %d %s' % (row['_id'], col), attr(e, col), text(row[col]))

# Calendar, read by two readers.
events, _ = table('events.json')
reminders, _ = table('reminders.json')
live = [e for e in events if e['deleted'] == 0]
with open(os.path.join(out, 'calendar.ics'), 'rb') as f:
    raw = f.read()
for line in raw.split(b'\r\n'):
    if len(line) > 75: failures.append('line longer than 75 octets: %r' % line[:40])
cal = icalendar.Calendar.from_ical(raw)
vcal = vobject.readOne(raw.decode('utf-8'))
by_uid = {str(c['UID']): c for c in cal.walk('VEVENT')}
vby_uid = {c.uid.value: c for c in vcal.vevent_list}
check('number of events', len(by_uid), len(live))
utc = datetime.timezone.utc
def instant(v):
    if isinstance(v, datetime.datetime):
        return int(v.timestamp()) if v.tzinfo else None
    return v
for ev in live:
    uid = '%d-%d@phone-calendar' % (ev['calendar_id'], ev['_id'])
    c, v = by_uid.get(uid), vby_uid.get(uid)
    if c is None or v is None:
        failures.append('event %s missing' % uid); continue
    for col, prop in (('title', 'SUMMARY'), ('eventLocation', 'LOCATION'), ('description', 'DESCRIPTION')):
        check('event %d %s' % (ev['_id'], prop), str(c[prop]) if prop in c else None, ev[col])
        vv = getattr(v, prop.lower()).value if prop.lower() in v.contents else None
        check('event %d %s (vobject)' % (ev['_id'], prop), vv, ev[col])
    for reader, start in (('icalendar', c.decoded('DTSTART')), ('vobject', v.dtstart.value)):
        if ev['allDay']:
            want = datetime.datetime.fromtimestamp(ev['dtstart'] // 1000, utc).date()
            check('event %d start date (%s)' % (ev['_id'], reader), start, want)
        else:
            check('event %d start instant (%s)' % (ev['_id'], reader), instant(start), ev['dtstart'] // 1000)
            if ev['eventTimezone'] not in ('UTC', None):
                check('event %d zone (%s)' % (ev['_id'], reader), str(c['DTSTART'].params.get('TZID')), ev['eventTimezone'])
    if ev['dtend'] is not None:
        end = c.decoded('DTEND')
        if ev['allDay']:
            check('event %d end date' % ev['_id'], end, datetime.datetime.fromtimestamp(ev['dtend'] // 1000, utc).date())
        else:
            check('event %d end instant' % ev['_id'], instant(end), ev['dtend'] // 1000)
            check('event %d end instant (vobject)' % ev['_id'], instant(v.dtend.value), ev['dtend'] // 1000)
    else:
        d = ev['duration']
        want = datetime.timedelta(days=1) if d == 'P1D' else datetime.timedelta(seconds=int(d[1:-1]))
        check('event %d duration' % ev['_id'], c.decoded('DURATION'), want)
    if ev['rrule']:
        check('event %d rrule' % ev['_id'], c['RRULE'].to_ical().decode(), ev['rrule'])
        # vobject expands the rule: the first occurrence is the start.
        first = next(iter(v.getrruleset()))
        check('event %d first occurrence' % ev['_id'], instant(first) if not ev['allDay'] else first.date(), 
              ev['dtstart'] // 1000 if not ev['allDay'] else datetime.datetime.fromtimestamp(ev['dtstart'] // 1000, utc).date())
    triggers = sorted(-a.decoded('TRIGGER') for a in c.walk('VALARM'))
    check('event %d reminders' % ev['_id'], triggers,
          sorted(datetime.timedelta(minutes=r['minutes']) for r in reminders if r['event_id'] == ev['_id']))

for f in failures:
    print(f)
print('%d failures' % len(failures))
sys.exit(1 if failures else 0)
