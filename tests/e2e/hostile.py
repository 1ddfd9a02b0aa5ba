#!/usr/bin/env python3
"""Hostile replies against the real program: each attack is served through the fake services, the
page that asks for it is opened, and the program must answer a menu at once and keep its memory
bounded. `hostile.py hostile_replies ...` is the CTest scenario; with --measure it prints the
table of peak RSS and time to recover instead of checking (for comparing two builds)."""

import os
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e import FLOAT_TITLE, MAIN_TITLE, Failure, check, log, main, wait_until  # noqa: E402
from scenarios import app_windows, open_page, show_main_window  # noqa: E402

MB = 1024 * 1024
# The program's own size plus what the bounded readers may keep; far below what the attacks took
# before the limits (hundreds of MB to several GB).
RSS_BOUND_MB = 400


def flood(prefix, unit, total, suffix=b''):
    """A body of about `total` bytes, streamed in chunks: prefix, unit repeated, suffix."""
    def chunks():
        yield prefix
        chunk = unit * max(1, (256 * 1024) // len(unit))
        sent = 0
        while sent < total:
            yield chunk
            sent += len(chunk)
        yield suffix
    return chunks()


def stall():
    """Headers and a few bytes, then nothing for a minute."""
    def chunks():
        yield b'<'
        time.sleep(60)
    return chunks()


def nested(depth):
    return b'<s><website><c text="x">' + b'<w>' * depth + b'</w>' * depth + b'</c></website></s>'


def wide_list(categories, entries):
    parts = [b'<s><website>']
    for c in range(categories):
        parts.append(b'<c text="c%d" color="0">' % c)
        parts.extend(b'<w text="w%d" url="http://w%d.example/"/>' % (e, e) for e in range(entries))
        parts.append(b'</c>')
    parts.append(b'</website></s>')
    return b''.join(parts)


# name, URL fragment, answer, page to open (None: fetched at start)
ATTACKS = [
    ('promotions.xml of 100 MB', 'promotions.xml',
     lambda raw: (200, flood(b'<p>', b'<item name="x"/>', 100 * MB, b'</p>'), 'text/xml'), 'promotion'),
    ('websites.xml nested 100000 deep', 'websites.xml', lambda raw: (200, nested(100000), 'text/xml'), None),
    ('websites.xml of 100 x 400 entries', 'websites.xml', lambda raw: (200, wide_list(100, 400), 'text/xml'), None),
    ('websites.xml of 100 MB', 'websites.xml',
     lambda raw: (200, flood(b'<s><website>', b'<c text="x"/>', 100 * MB), 'text/xml'), None),
    # Without a weather key the page locates the user through the JSON lookup, then asks the
    # keyless forecast.
    ('weather forecast of 100 MB', '/v1/forecast?',
     lambda raw: (200, flood(b'{"current":{"time":"', b'x', 100 * MB), 'application/json'), 'weather'),
    ('IP location of 100 MB', '/json/?',
     lambda raw: (200, flood(b'{"status":"success","city":"', b'x', 100 * MB), 'application/json'), 'weather'),
    ('newrelease.html of 100 MB', 'newrelease.html', lambda raw: (200, flood(b'9.9 ', b'x', 100 * MB), 'text/html'),
     None),
    ('websites.xml: headers, then nothing', 'websites.xml', lambda raw: (200, stall(), 'text/xml'), None),
    ('websites.xml announces 1 KB, sends 100 MB', 'websites.xml',
     lambda raw: (200, flood(b'<s><website>', b'<c text="x"/>', 100 * MB), 'text/xml', {'Content-Length': '1024'}),
     None),
]


def status_mb(pid, key):
    try:
        with open(f'/proc/{pid}/status') as f:
            for line in f:
                if line.startswith(key + ':'):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return None


def menu_answers(d, timeout):
    """Right-clicks the floating window; seconds until its menu shows, or None."""
    wid = d.wait_window(FLOAT_TITLE, 2)
    if not wid:
        return None
    before = app_windows(d)
    started = time.monotonic()
    d.click_in(wid, 40, 40, button=3)
    shown = wait_until(lambda: app_windows(d) - before, timeout, 0.05)
    took = time.monotonic() - started
    d.key('Escape')
    return took if shown else None


def run_attack(d, name, fragment, answer, page, measure):
    d.services.overrides = {fragment: answer}
    d.start_app()
    pid = d.app.pid
    started = time.monotonic()
    # Never let a build without limits take the machine: past 2 GB it is stopped and reported so.
    stop = threading.Event()
    app = d.app

    def watchdog():
        while not stop.wait(0.1):
            if (status_mb(pid, 'VmRSS') or 0) > 2048:
                log(f'{name}: over 2 GB, stopped')
                app.kill()
                return
    threading.Thread(target=watchdog, daemon=True).start()
    # As a user would: the main window open (the page that asks for the reply, if any).
    try:
        wid = show_main_window(d)
        if page:
            open_page(d, wid, page)
        check(wait_until(lambda: d.services.asked(fragment), 10),
              f'{name}: the program never asked for it; asked: {d.services.requests}')
    except Failure as e:
        if not measure:
            raise
        log(f'{name}: {e} (a build without limits may be frozen already)')
    # The menu must answer while the attack is on its way or just after it.
    time.sleep(1.0)
    menu = menu_answers(d, 60 if measure else 10)
    # Memory a few seconds on, once the reply has been dealt with.
    time.sleep(3.0)
    stop.set()
    peak = status_mb(pid, 'VmHWM') or 2048.0
    now = status_mb(pid, 'VmRSS') or 0.0
    row = (name, peak, now, menu)
    log(f'{name}: peak RSS {peak:.0f} MB, RSS {now:.0f} MB, menu after '
        f'{"never" if menu is None else f"{menu:.2f} s"}')
    d.app.kill()
    d.app.wait()
    d.services.overrides = {}
    if not measure:
        check(menu is not None and menu < 5, f'{name}: the menu did not answer within 5 s')
        check(peak < RSS_BOUND_MB, f'{name}: peak RSS {peak:.0f} MB is over {RSS_BOUND_MB} MB')
    return row


def hostile_replies(d, measure=False):
    rows = [run_attack(d, *attack, measure) for attack in ATTACKS]
    if measure:
        print('| attack | peak RSS (MB) | RSS after (MB) | menu answered after |')
        print('|---|---|---|---|')
        for name, peak, now, menu in rows:
            print(f'| {name} | {peak:.0f} | {now:.0f} | {"never (60 s)" if menu is None else f"{menu:.2f} s"} |')


if __name__ == '__main__':
    if '--measure' in sys.argv:
        sys.argv.remove('--measure')
        sys.exit(main({'hostile_replies': lambda d: hostile_replies(d, measure=True)}))
    sys.exit(main({'hostile_replies': hostile_replies}))
