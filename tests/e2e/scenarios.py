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


# Page buttons: x of each button's centre and y of the row, relative to the main window.
PAGE_BUTTONS = {'wb': 89, 'program': 269, 'calendar': 449, 'weather': 629, 'promotion': 809}
PAGE_ROW_Y = 105


def tray_icon(d):
    """The program's icon docked in the tray host: its small window at the bottom of the screen."""
    out = d.xdotool('search', '--onlyvisible', '--class', 'QuorvikPcAssist')
    for wid in map(int, out.split()):
        x, y, w, h = d.geometry(wid)
        if w <= 48 and h <= 48 and y > d.size[1] - 60:
            return wid
    return None


def show_main_window(d):
    """A single click on the tray icon shows the hidden main window."""
    icon = wait_until(lambda: tray_icon(d), 10)
    check(icon, 'no tray icon in the tray host')
    d.click_in(icon, 12, 12)
    wid = d.wait_window(MAIN_TITLE, 10)
    check(wid, 'a click on the tray icon did not show the main window')
    time.sleep(0.5)
    return wid


def open_page(d, wid, action):
    before = d.services.count(action)
    d.click_in(wid, PAGE_BUTTONS[action], PAGE_ROW_Y)
    d.services.wait_report(action, times=before + 1)


def pages(d):
    d.start_app()
    check(wait_until(lambda: d.services.asked('websites.xml'), 10), 'websites.xml was not asked for')
    wid = show_main_window(d)
    x, y, w, h = d.geometry(wid)
    check((w, h) == (900, 600), f'the main window is {w}x{h}')
    time.sleep(0.5)
    d.screenshot_window(wid, 'page-website')
    d.screenshot('desktop-main-window')
    open_page(d, wid, 'wb')
    open_page(d, wid, 'program')
    time.sleep(0.5)
    d.screenshot_window(wid, 'page-program')
    open_page(d, wid, 'calendar')
    time.sleep(0.5)
    d.screenshot_window(wid, 'page-calendar')
    open_page(d, wid, 'weather')
    check(wait_until(lambda: sorted(set(d.services.weather_ok)) == ['forecast3d', 'index', 'observe'], 15),
          f'the weather service got {d.services.weather_ok}; refused: {d.services.bad_signatures}')
    check(not d.services.bad_signatures, f'badly signed weather requests: {d.services.bad_signatures}')
    time.sleep(1.0)
    d.screenshot_window(wid, 'page-weather')
    open_page(d, wid, 'promotion')
    check(wait_until(lambda: len(d.services.asked('/promo/')) >= 4, 10),
          f'the recommendation pictures were not all fetched: {d.services.asked("/promo/")}')
    time.sleep(1.0)
    d.screenshot_window(wid, 'page-promotion')
    # A second visit fetches nothing again.
    open_page(d, wid, 'weather')
    open_page(d, wid, 'promotion')
    time.sleep(1.0)
    check(len(d.services.asked('iplookup')) == 1, 'the weather was fetched again on the second visit')
    check(len(d.services.asked('promotions.xml')) == 1, 'the recommendations were fetched again')
    counts = {a: d.services.count(a) for a in PAGE_BUTTONS}
    check(counts == {'wb': 1, 'program': 1, 'calendar': 1, 'weather': 2, 'promotion': 2},
          f'page reports: {counts}')
    check(d.app.poll() is None, 'the program died')


SCENARIOS = {
    'first_start': first_start,
    'pages': pages,
}

if __name__ == '__main__':
    sys.exit(main(SCENARIOS))
