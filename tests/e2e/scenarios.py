#!/usr/bin/env python3
"""The end-to-end scenarios; each is one CTest test (tests/e2e/CMakeLists.txt)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e import (FLOAT_TITLE, MAIN_TITLE, Failure, check, element_text, log, main,  # noqa: E402
                 parse_xml, wait_until)


def tray_icons(d):
    """Windows docked in the tray host (tint2 reparents each tray icon under its panel)."""
    import subprocess
    panel = d.find_window(name='^tint2$', visible_only=False)
    if not panel:
        return 0
    tree = subprocess.run(['xwininfo', '-children', '-id', str(panel)], env=d.env, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    m = [line for line in tree.splitlines() if 'child' in line and 'children' in line.lower()]
    return int(m[0].split()[0]) if m and m[0].split()[0].isdigit() else 0


def first_start(d):
    check(not os.path.exists(d.data_dir), 'the data directory exists before the first start')
    d.start_app()
    d.services.wait_report('login')
    doc = parse_xml(d.data_file('settings.dat'))
    check(doc.documentElement.tagName == 'torvel_settings', 'settings.dat has another root')
    values = {n: element_text(doc, n) for n in ('first_run', 'onlyHideWhenClose', 'showHideHotKey',
                                                   'showFloatingWindow')}
    check(values == {'first_run': '0', 'onlyHideWhenClose': '1', 'showHideHotKey': '16777267',
                     'showFloatingWindow': '1'}, f'first-run settings are {values}')
    check(not d.is_visible(MAIN_TITLE), 'the main window is visible after start')
    wid = d.wait_window(FLOAT_TITLE)
    x, y, w, h = d.geometry(wid)
    check(abs(x - (d.size[0] - 150)) <= 2 and abs(y - d.size[1] // 2) <= 2,
          f'the floating window is at {x},{y}, not near the right edge half-way down')
    check(wait_until(lambda: d.services.asked('newrelease.html'), 5), 'no version check at start')
    check(wait_until(lambda: d.services.asked('websites.xml'), 5), 'the remote website list was not asked for')
    time.sleep(1.0)  # the first-run balloon
    d.screenshot('first-start')
    # A second start ends at once with 0 and leaves no trace.
    started = time.monotonic()
    rc = d.run_second_instance()
    took = time.monotonic() - started
    check(rc == 0, f'the second start returned {rc}')
    check(took < 3, f'the second start took {took:.1f} s')
    time.sleep(0.5)
    check(d.services.count('login') == 1, 'the second start reported "login" again')
    check(d.app.poll() is None, 'the first instance died')
    log(f'second instance ended with 0 after {took * 1000:.0f} ms')


SCENARIOS = {
    'first_start': first_start,
}

if __name__ == '__main__':
    sys.exit(main(SCENARIOS))
