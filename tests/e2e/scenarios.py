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


# Entries of the tray menu (and the floating window's menu), separators left out.
TRAY_MENU = ['打开网址导航', '打开常用软件', '打开日程日历', '打开天气预报', '打开好软推荐', 'floating',
             '屏幕截图', '设置', '关于', '检查更新', '退出']


def choose_from_menu(d, entry, shot=None):
    """Walks an open tray-style menu with the keyboard and triggers an entry."""
    time.sleep(0.5)
    if shot:
        d.screenshot(shot)
    index = TRAY_MENU.index(entry)
    if entry == '退出':
        d.key('Up')
    else:
        for _ in range(index + 1):
            d.key('Down')
    d.key('Return')
    time.sleep(0.3)


def tray_menu(d, entry, shot=None):
    icon = wait_until(lambda: tray_icon(d), 10)
    check(icon, 'no tray icon in the tray host')
    d.click_in(icon, 12, 12, button=3)
    choose_from_menu(d, entry, shot)


def floating_menu(d, entry, shot=None):
    wid = d.wait_window(FLOAT_TITLE)
    check(wid, 'the floating window is not shown')
    d.click_in(wid, 40, 40, button=3)
    choose_from_menu(d, entry, shot)


def quit_from_tray(d):
    logouts = d.services.count('logout')
    tray_menu(d, '退出')
    d.services.wait_report('logout', times=logouts + 1)
    rc = d.wait_exit(10)
    check(rc == 0, f'退出 ended the program with {rc}')
    check(wait_until(lambda: tray_icon(d) is None, 5), 'the tray icon stayed after 退出')


def settings_values(d):
    doc = parse_xml(d.data_file('settings.dat'))
    return {n: element_text(doc, n) for n in ('first_run', 'onlyHideWhenClose', 'showHideHotKey',
                                               'showFloatingWindow')}


def quit_and_kill(d):
    d.start_app()
    quit_from_tray(d)
    log('退出 reported "logout" and ended with 0')
    # Killed in the middle of its work (right after a settings save), it starts again at once.
    d.start_app()
    floating_menu(d, 'floating')
    check(d.wait_window_gone(FLOAT_TITLE, 5), '隐藏浮窗 did not hide the floating window')
    d.app.kill()
    d.app.wait()
    check(settings_values(d)['showFloatingWindow'] == '0', 'settings.dat lost the floating-window change')
    d.start_app(wait_float=False)
    check(not d.wait_window(FLOAT_TITLE, 2), 'the floating window came back after kill -9 and restart')
    check(d.run_second_instance() == 0, 'a second start after the restart did not end with 0')
    check(d.app.poll() is None, 'the restarted program ended')
    check(wait_until(lambda: tray_icon(d), 5), 'no tray icon after the restart')
    d.screenshot('restarted-after-kill')
    quit_from_tray(d)


def toggles_with(d, key):
    """The hot key shows the hidden main window and hides it again."""
    d.key(key)
    shown = d.wait_window(MAIN_TITLE, 5)
    if not shown:
        return False
    d.key(key)
    return bool(d.wait_window_gone(MAIN_TITLE, 5))


# Points inside the settings dialog (640 x 480), from its top-left corner.
SETTINGS_QUIT_RADIO = (54, 149)
SETTINGS_HOTKEY_EDIT = (265, 177)
SETTINGS_CLOSE = (629, 9)
MAIN_CLOSE = (880, 18)


def hotkey_settings(d):
    d.start_app()
    d.key('F4')
    wid = d.wait_window(MAIN_TITLE, 5)
    check(wid, 'F4 did not show the main window')
    d.key('F4')
    check(d.wait_window_gone(MAIN_TITLE, 5), 'F4 did not hide the main window again')
    floating_menu(d, 'floating', shot='floating-window-menu')
    check(d.wait_window_gone(FLOAT_TITLE, 5), '隐藏浮窗 did not hide the floating window')
    check(settings_values(d)['showFloatingWindow'] == '0', '隐藏浮窗 was not saved at once')

    tray_menu(d, '设置', shot='tray-menu')
    dialog = d.wait_window('SettingsDialog', 5)
    check(dialog, '设置 did not open the settings dialog')
    d.click_in(dialog, *SETTINGS_QUIT_RADIO)
    d.click_in(dialog, *SETTINGS_HOTKEY_EDIT)
    d.key('F9')
    time.sleep(0.3)
    d.screenshot_window(dialog, 'settings-dialog')
    d.click_in(dialog, *SETTINGS_CLOSE)
    check(d.wait_window_gone('SettingsDialog', 5), 'the close button did not close the settings dialog')
    values = settings_values(d)
    check(values['onlyHideWhenClose'] == '0' and values['showHideHotKey'] == str(16777264 + 8),
          f'the settings dialog saved {values}')
    check(toggles_with(d, 'F9'), 'the new hot key F9 does not toggle the main window')
    d.key('F4')
    check(not d.wait_window(MAIN_TITLE, 1.5), 'the old hot key F4 still shows the main window')

    quit_from_tray(d)
    d.start_app(wait_float=False)
    check(not d.wait_window(FLOAT_TITLE, 2), 'the floating window is back after the restart')
    d.key('F4')
    check(not d.wait_window(MAIN_TITLE, 1.5), 'F4 shows the main window after the restart')
    d.key('F9')
    wid = d.wait_window(MAIN_TITLE, 5)
    check(wid, 'F9 does not show the main window after the restart')
    # With 退出程序 chosen, the close button quits.
    logouts = d.services.count('logout')
    d.click_in(wid, *MAIN_CLOSE)
    d.services.wait_report('logout', times=logouts + 1)
    check(d.wait_exit(10) == 0, 'the close button did not end the program with 0')


SCENARIOS = {
    'first_start': first_start,
    'pages': pages,
    'quit_and_kill': quit_and_kill,
    'hotkey_settings': hotkey_settings,
}

if __name__ == '__main__':
    sys.exit(main(SCENARIOS))
