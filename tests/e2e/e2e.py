"""End-to-end harness: a private X desktop (Xvfb, openbox, tint2 as tray host) and fake remote
services behind a local HTTP proxy, for driving the real program as a user would."""

import base64
import hashlib
import datetime
import hmac
import http.server
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import xml.dom.minidom

SKIP = 77  # mapped with SKIP_RETURN_CODE in CTest
HERE = os.path.dirname(os.path.abspath(__file__))
SITE_DIR = os.path.join(HERE, 'site')
MAIN_TITLE = 'Quorvik电脑助手'
FLOAT_TITLE = 'Quorvik桌面助手'


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def log(*args):
    print(time.strftime('%H:%M:%S'), *args, flush=True)


def wait_until(predicate, timeout, step=0.1):
    """Polls until predicate() returns a true value; returns it, or None at the timeout."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= end:
            return None
        time.sleep(step)


def read_endpoints(header):
    """The hosts, app id and key the build was configured with (EndpointsConfig.h)."""
    values = {}
    with open(header, encoding='utf-8') as f:
        for line in f:
            m = re.match(r'#define\s+(QPA_\w+)\s+"(.*)"\s*$', line)
            if m:
                values[m.group(1)] = m.group(2).encode().decode('unicode_escape')
    return values


# --- fake remote services -------------------------------------------------------------------

def weather_signature(base, areaid, kind, date, appid, key):
    """The signature the program must send: HMAC-SHA1 over the unsigned URL, Base64."""
    message = f'{base}?areaid={areaid}&type={kind}&date={date}&appid={appid}'
    digest = hmac.new(key.encode('ascii'), message.encode('ascii'), hashlib.sha1).digest()
    return base64.b64encode(digest).decode('ascii')


# JSON bodies; Chinese as \u escapes so the answer does not depend on the reader's code page.
def _js(text):
    return ''.join(c if ord(c) < 128 else '\\u%04x' % ord(c) for c in text)


LOCATION_BODY = _js('var remote_ip_info = {"ret":1,"start":-1,"end":-1,"country":"中国",'
                    '"province":"广东","city":"广州","district":"","isp":"电信","type":"",'
                    '"desc":""};')
FORECAST_BODY = _js('{"c":{"c1":"101280101","c3":"广州"},"f":{"f1":['
                    '{"fa":"01","fb":"02","fc":"28","fd":"21","fe":"4","ff":"4","fg":"1","fh":"0","fi":"06:10|18:05"},'
                    '{"fa":"03","fb":"07","fc":"26","fd":"20","fe":"3","ff":"2","fg":"2","fh":"1","fi":"06:11|18:04"},'
                    '{"fa":"00","fb":"00","fc":"30","fd":"22","fe":"8","ff":"8","fg":"0","fh":"0","fi":"06:11|18:04"}'
                    '],"f0":"201412081100"}}')
OBSERVE_BODY = _js('{"l":{"l1":"25","l2":"63","l3":"3","l4":"4","l5":"00","l6":"0","l7":"11:25"}}')
INDEX_BODY = _js('{"i":['
                 '{"i1":"ct","i2":"穿衣指数","i3":"","i4":"热","i5":"天气热，建议着短裙、短裤、短薄外套、T恤等夏季服装。"},'
                 '{"i1":"zs","i2":"中暑指数","i3":"","i4":"无中暑风险","i5":"天气舒适，对易中暑人群来说非常友善。"},'
                 '{"i1":"ys","i2":"雨伞指数","i3":"","i4":"不带伞","i5":"天气较好，不会降水，因此您可放心出门，无须带雨伞。"}'
                 ']}')


IPAPI_BODY = json.dumps({'status': 'success', 'regionName': '广东', 'city': '广州',
                         'lat': 23.1291, 'lon': 113.2644}, ensure_ascii=False)
# Places the geocoding fake knows; any other name finds nothing.
GEOCODED = {'广州': (23.11667, 113.25), '北京': (39.9075, 116.39723), '上海': (31.22222, 121.45806)}


def open_meteo_body(now=None):
    """A forecast reply for the current hour, in the API's layout (current + parallel daily arrays)."""
    now = now or datetime.datetime.now()
    days = [(now + datetime.timedelta(days=n)).strftime('%Y-%m-%d') for n in range(3)]
    return json.dumps({
        'latitude': 23.125, 'longitude': 113.25, 'timezone': 'Asia/Shanghai',
        'current': {'time': now.strftime('%Y-%m-%dT%H:00'), 'interval': 900, 'temperature_2m': 24.6,
                    'relative_humidity_2m': 63, 'weather_code': 2, 'wind_speed_10m': 14.4,
                    'wind_direction_10m': 178},
        'daily': {'time': days, 'weather_code': [3, 61, 95], 'temperature_2m_max': [28.2, 26.0, 30.4],
                  'temperature_2m_min': [20.6, 19.5, 22.1], 'wind_speed_10m_max': [14.4, 22.0, 3.2],
                  'wind_direction_10m_dominant': [178, 95, 320],
                  'precipitation_probability_max': [10, 65, 85],
                  'apparent_temperature_max': [30.1, 27.5, 35.2]},
    })


class FakeServices:
    """One proxy that answers for the maker's site, the IP-location and the weather service."""

    def __init__(self, endpoints, release='2.0.0.2 http://www.quorvik.cn/download.html'):
        self.endpoints = endpoints
        self.release = release
        self.lock = threading.Lock()
        self.requests = []      # every URL asked for, in order
        self.reports = []       # the action words that reached stat.aspx
        self.bad_signatures = []
        self.weather_ok = []    # weather types answered after a valid signature
        self.maker = urllib.parse.urlsplit(endpoints['QPA_MAKER_SITE_URL'])
        self.iploc = urllib.parse.urlsplit(endpoints['QPA_IP_LOCATION_URL'])
        self.weather = urllib.parse.urlsplit(endpoints['QPA_WEATHER_URL'])
        self.ipapi = urllib.parse.urlsplit(endpoints['QPA_IP_API_URL'])
        self.forecast = urllib.parse.urlsplit(endpoints['QPA_OPEN_METEO_FORECAST_URL'])
        self.geocoding = urllib.parse.urlsplit(endpoints['QPA_OPEN_METEO_GEOCODING_URL'])
        # Offline: every service but the usage reports answers 502, as a proxy without a network
        # does; the release file (hang_release) does not answer at all for a while.
        self.offline = False
        self.hang_release = False
        self.report_log = None
        self.held = {}          # URL fragment -> event that releases the answers asked for it
        self.overrides = {}     # URL fragment -> function(url) giving (status, body, type[, headers])
        services = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = 'HTTP/1.1'

            def log_message(self, *args):
                pass

            def do_GET(self):
                status, body, ctype, *extra = services.answer(self.path)
                self.send_response(status)
                self.send_header('Content-Type', ctype)
                for name, value in (extra[0] if extra else {}).items():
                    self.send_header(name, value)
                streamed = not isinstance(body, (bytes, bytearray))
                if streamed:
                    # An iterator of chunks (a flood, a drip): no length, sent until the program
                    # hangs up or the iterator ends.
                    self.send_header('Connection', 'close')
                    self.close_connection = True
                elif 'Content-Length' not in (extra[0] if extra else {}):
                    self.send_header('Content-Length', str(len(body)))
                self.end_headers()
                try:
                    for chunk in (body if streamed else [body]):
                        self.wfile.write(chunk)
                        self.wfile.flush()
                except (BrokenPipeError, ConnectionResetError):
                    pass  # the program quit or was killed while the answer was on its way

        class Server(http.server.ThreadingHTTPServer):
            def handle_error(self, request, client_address):
                if not isinstance(sys.exc_info()[1], (ConnectionError, TimeoutError)):
                    super().handle_error(request, client_address)

        self.server = Server(('127.0.0.1', 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def start(self, report_log=None):
        self.report_log = report_log
        self.thread.start()
        return self

    def stop(self):
        self.server.shutdown()
        self.server.server_close()

    @property
    def proxy(self):
        return f'http://127.0.0.1:{self.port}/'

    def site_url(self, path=''):
        return self.endpoints['QPA_MAKER_SITE_URL'] + path

    def answer(self, raw):
        url = urllib.parse.urlsplit(raw)
        with self.lock:
            self.requests.append(raw)
            gates = [event for fragment, event in self.held.items() if fragment in raw]
        for gate in gates:
            gate.wait(30)
        for fragment, handler in list(self.overrides.items()):
            if fragment in raw:
                return handler(raw)
        host, path = url.netloc, url.path
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        is_report = host == self.maker.netloc and path == self.maker.path + 'stat.aspx'
        if self.hang_release and path.endswith('/newrelease.html'):
            time.sleep(15)
            return 502, b'', 'text/plain'
        if self.offline and not is_report:
            return 502, b'', 'text/plain'
        if host == self.ipapi.netloc and path == self.ipapi.path:
            return 200, IPAPI_BODY.encode(), 'application/json'
        if host == self.forecast.netloc and path == self.forecast.path:
            if query.get('latitude') and query.get('longitude') and query.get('forecast_days') == ['3']:
                return 200, open_meteo_body().encode(), 'application/json'
            return 400, b'{"error":true,"reason":"missing latitude"}', 'application/json'
        if host == self.geocoding.netloc and path == self.geocoding.path:
            place = GEOCODED.get(query.get('name', [''])[0])
            body = {'generationtime_ms': 0.3}
            if place:
                body['results'] = [{'name': query['name'][0], 'latitude': place[0], 'longitude': place[1],
                                    'country_code': 'CN'}]
            return 200, json.dumps(body, ensure_ascii=False).encode(), 'application/json'
        if host == self.maker.netloc and path.startswith(self.maker.path):
            return self.answer_maker(path[len(self.maker.path):], url.query)
        if host == self.iploc.netloc and path == self.iploc.path + 'iplookup/iplookup.php':
            if query.get('format') == ['js']:
                return 200, LOCATION_BODY.encode(), 'application/javascript'
        if host == self.weather.netloc and path == self.weather.path + 'data/':
            return self.answer_weather(url)
        return 404, b'', 'text/plain'

    def answer_maker(self, path, query):
        if path == 'stat.aspx':
            action = urllib.parse.unquote(query[len('action='):]) if query.startswith('action=') else ''
            with self.lock:
                self.reports.append(action)
                if self.report_log:
                    with open(self.report_log, 'a', encoding='utf-8') as f:
                        f.write(action + '\n')
            return 200, b'ok', 'text/plain'
        if path == 'newrelease.html':
            return 200, self.release.encode(), 'text/html'
        if path in ('websites.xml', 'promotions.xml') or path.startswith('promo/'):
            file = os.path.join(SITE_DIR, *path.split('/'))
            if os.path.isfile(file):
                with open(file, 'rb') as f:
                    body = f.read()
                if path == 'promotions.xml':
                    body = body.replace(b'@SITE@', self.site_url().encode())
                ctype = 'image/png' if path.endswith('.png') else 'text/xml'
                return 200, body, ctype
        if path == '':
            return 200, '<html><body>Quorvik</body></html>'.encode(), 'text/html'
        return 404, b'', 'text/plain'

    def answer_weather(self, url):
        # The query must be exactly areaid, type, date, appid (6 characters), key.
        items = [tuple(p.split('=', 1)) for p in url.query.split('&') if '=' in p]
        names = [n for n, _ in items]
        values = dict(items)
        base = f'{url.scheme}://{url.netloc}{url.path}'
        appid = self.endpoints['QPA_WEATHER_APPID']
        key = self.endpoints['QPA_WEATHER_PRIVATE_KEY']
        ok = names == ['areaid', 'type', 'date', 'appid', 'key'] and values['appid'] == appid[:6]
        if ok:
            expected = weather_signature(base, values['areaid'], values['type'], values['date'], appid, key)
            ok = urllib.parse.unquote(values['key']) == expected and '+' not in values['key'] \
                and '/' not in values['key'] and '=' not in values['key']
        if not ok:
            with self.lock:
                self.bad_signatures.append(url.geturl())
            return 403, b'', 'text/plain'
        body = {'forecast3d': FORECAST_BODY, 'observe': OBSERVE_BODY, 'index': INDEX_BODY}.get(values['type'])
        if body is None:
            return 404, b'', 'text/plain'
        with self.lock:
            self.weather_ok.append(values['type'])
        return 200, body.encode(), 'application/json'

    def hold(self, fragment):
        """Answers to URLs containing fragment wait until unhold(fragment) (30 s at most)."""
        with self.lock:
            self.held[fragment] = threading.Event()

    def unhold(self, fragment):
        with self.lock:
            event = self.held.pop(fragment, None)
        if event:
            event.set()

    def count(self, action):
        with self.lock:
            return self.reports.count(action)

    def wait_report(self, action, timeout=10, times=1):
        got = wait_until(lambda: self.count(action) >= times, timeout)
        check(got, f'report "{action}" x{times} did not arrive (got {self.reports})')

    def asked(self, fragment):
        with self.lock:
            return [r for r in self.requests if fragment in r]


# --- the desktop --------------------------------------------------------------------------------

TINT2RC = """
panel_items = T S C
panel_position = bottom right horizontal
panel_size = 40% 32
panel_background_id = 1
rounded = 0
border_width = 0
background_color = #2b3a4a 100
border_color = #000000 0
systray_padding = 4 2 4
systray_icon_size = 24
taskbar_mode = single_desktop
time1_format = %H:%M
clock_font_color = #ffffff 100
task_text = 1
task_font_color = #ffffff 100
"""


class Desktop:
    """Xvfb + openbox + tint2, a private HOME with XDG folders, and the fake services."""

    def __init__(self, name, program, endpoints_header, artefacts, size=(1280, 800), tray=True):
        self.name = name
        self.with_tray = tray
        self.program = program
        self.endpoints = read_endpoints(endpoints_header)
        self.artefacts = os.path.join(artefacts, name)
        self.size = size
        self.procs = []
        self.app = None
        self.shots = 0

    # setup / teardown
    def __enter__(self):
        for tool in ('Xvfb', 'xdotool', 'import'):
            if not shutil.which(tool):
                print(f'SKIP: {tool} is not installed', flush=True)
                sys.exit(SKIP)
        shutil.rmtree(self.artefacts, ignore_errors=True)
        os.makedirs(self.artefacts)
        self.root = tempfile.mkdtemp(prefix=f'qpa-e2e-{self.name}-')
        home = os.path.join(self.root, 'home')
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(('XDG_', 'QT_', 'DBUS_')) and k not in ('DISPLAY', 'WAYLAND_DISPLAY')}
        env.update(HOME=home, XDG_DATA_HOME=f'{home}/.local/share', XDG_CONFIG_HOME=f'{home}/.config',
                   XDG_CACHE_HOME=f'{home}/.cache', XDG_STATE_HOME=f'{home}/.local/state',
                   XDG_RUNTIME_DIR=os.path.join(self.root, 'run'), LANG='C.UTF-8', LC_ALL='C.UTF-8',
                   QT_QPA_PLATFORM='xcb', NO_AT_BRIDGE='1', QPA_STARTUP_TRACE='1')
        for key in ('XDG_DATA_HOME', 'XDG_CONFIG_HOME', 'XDG_CACHE_HOME', 'XDG_STATE_HOME', 'XDG_RUNTIME_DIR'):
            os.makedirs(env[key], mode=0o700, exist_ok=True)
        os.chmod(env['XDG_RUNTIME_DIR'], 0o700)
        # Links and files the program opens land in a log instead of a browser.
        self.opened_log = os.path.join(self.root, 'opened.log')
        opener = os.path.join(self.root, 'bin', 'xdg-open')
        os.makedirs(os.path.dirname(opener))
        with open(opener, 'w') as f:
            f.write(f'#!/bin/sh\necho "$@" >> "{self.opened_log}"\n')
        os.chmod(opener, 0o755)
        env['PATH'] = os.path.dirname(opener) + os.pathsep + env.get('PATH', '/usr/bin:/bin')
        env['BROWSER'] = opener

        self.services = FakeServices(self.endpoints).start(os.path.join(self.artefacts, 'reports.log'))
        env['http_proxy'] = env['HTTP_PROXY'] = self.services.proxy
        env.pop('no_proxy', None)
        env.pop('NO_PROXY', None)
        self.env = env
        try:
            self._start_x()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _start_x(self):
        w, h = self.size
        # Xvfb picks a free display itself and writes its number to the pipe, so that parallel
        # tests never race for one.
        read_end, write_end = os.pipe()
        # -noreset: when the readiness probe, the only client so far, leaves, the server would
        # reset and could refuse the window manager or the tray host starting right then.
        xvfb = self.spawn(['Xvfb', '-displayfd', str(write_end), '-screen', '0', f'{w}x{h}x24',
                           '-nolisten', 'tcp', '-noreset'], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        if not display:
            print('SKIP: Xvfb did not start', flush=True)
            sys.exit(SKIP)
        self.env['DISPLAY'] = f':{display}'
        ready = wait_until(lambda: subprocess.run(['xdpyinfo'] if shutil.which('xdpyinfo') else
                                                  ['xdotool', 'getdisplaygeometry'], env=self.env,
                                                  stdout=subprocess.DEVNULL,
                                                  stderr=subprocess.DEVNULL).returncode == 0, 15, 0.1)
        if not ready or xvfb.poll() is not None:
            print('SKIP: Xvfb did not start', flush=True)
            sys.exit(SKIP)
        self.spawn(['openbox', '--sm-disable'])
        self.tray = None
        if self.with_tray:
            self.start_tray()
        # A calm blue desktop, so that screenshots show the windows clearly (painted after the
        # window manager and panel have started, which clear the root window).
        if shutil.which('convert') and shutil.which('display'):
            background = os.path.join(self.root, 'desktop.png')
            subprocess.run(['convert', '-size', f'{w}x{h}', 'gradient:#6f93b6-#2c3e50', background],
                           env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(['display', '-window', 'root', background], env=self.env, timeout=20,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)

    def start_tray(self):
        """tint2 as tray host; it owns its selection when this returns."""
        rc = os.path.join(self.root, 'tint2rc')
        with open(rc, 'w') as f:
            f.write(TINT2RC)
        self.tray = self.spawn(['tint2', '-c', rc])
        tint2_log = os.path.join(self.artefacts, 'tint2.log')
        wait_until(lambda: self.find_window(name='tint2', visible_only=False), 10)
        wait_until(lambda: 'Systray' in open(tint2_log, errors='replace').read(), 10)

    def __exit__(self, *exc):
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait()
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if getattr(self, 'services', None):
            self.services.stop()
        if exc and exc[0] is None:
            shutil.rmtree(self.root, ignore_errors=True)
        else:
            log('kept the scenario folder', getattr(self, 'root', '?'))
        return False

    def spawn(self, argv, **kw):
        out = open(os.path.join(self.artefacts, os.path.basename(argv[0]) + '.log'), 'ab')
        p = subprocess.Popen(argv, env=self.env, stdout=out, stderr=subprocess.STDOUT,
                             stdin=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    # the program
    @property
    def data_dir(self):
        return os.path.join(self.env['XDG_DATA_HOME'], 'QuorvikPcAssist')

    def data_file(self, name):
        return os.path.join(self.data_dir, name)

    def start_app(self, wait_float=True):
        """Starts the program and waits for its "login" report (its event loop is running then)."""
        log('start', self.program)
        logins = self.services.count('login')
        self.app = subprocess.Popen([self.program], env=self.env, cwd=os.path.dirname(self.program),
                                    stdout=open(os.path.join(self.artefacts, 'program.log'), 'ab'),
                                    stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        check(wait_until(lambda: self.services.count('login') > logins or self.app.poll() is not None, 20),
              'no "login" report within 20 s of the start')
        check(self.app.poll() is None, f'the program ended at start with {self.app.returncode}')
        if wait_float:
            check(self.wait_window(FLOAT_TITLE, 10), 'the floating window did not appear')
        return self.app

    def trace(self):
        """The start-up milestones the running program printed so far (QPA_STARTUP_TRACE)."""
        with open(os.path.join(self.artefacts, 'program.log'), encoding='utf-8', errors='replace') as f:
            lines = [m.group(1) for m in (re.match(r'qpa-startup: [\d.]+ ms (.+) \(cpu [-\d.]+ ms\)$', line.strip())
                                           for line in f) if m]
        last = max((i for i, m in enumerate(lines) if m == 'main entered'), default=0)
        return lines[last:]

    def run_second_instance(self, timeout=10, args=()):
        p = subprocess.run([self.program, *args], env=self.env, cwd=os.path.dirname(self.program),
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return p.returncode

    @property
    def channel(self):
        """The local socket the running instance answers later starts on."""
        return os.path.join(self.env['XDG_RUNTIME_DIR'], 'torvel_tool_kit_mutex.socket')

    def wait_exit(self, timeout=10):
        try:
            return self.app.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    # X helpers
    def xdotool(self, *args, check_rc=True):
        p = subprocess.run(['xdotool', *map(str, args)], env=self.env, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, text=True)
        if check_rc and p.returncode != 0 and args[0] != 'search':
            raise Failure(f'xdotool {args}: {p.stderr.strip()}')
        return p.stdout.strip()

    def find_window(self, name=None, cls=None, visible_only=True):
        args = ['search']
        if visible_only:
            args.append('--onlyvisible')
        if name is not None:
            args += ['--name', name]
        else:
            args += ['--class', cls]
        out = self.xdotool(*args)
        ids = [int(w) for w in out.split()]
        return ids[-1] if ids else None

    def wait_window(self, title, timeout=10):
        return wait_until(lambda: self.find_window(name=f'^{re.escape(title)}$'), timeout, 0.05)

    def wait_window_gone(self, title, timeout=10):
        return wait_until(lambda: not self.find_window(name=f'^{re.escape(title)}$'), timeout, 0.05)

    def is_visible(self, title):
        return self.find_window(name=f'^{re.escape(title)}$') is not None

    def geometry(self, wid):
        out = self.xdotool('getwindowgeometry', '--shell', wid)
        g = dict(line.split('=', 1) for line in out.splitlines() if '=' in line)
        return int(g['X']), int(g['Y']), int(g['WIDTH']), int(g['HEIGHT'])

    def click(self, x, y, button=1, double=False):
        self.xdotool('mousemove', '--sync', x, y)
        time.sleep(0.05)
        self.xdotool('click', *(['--repeat', '2', '--delay', '80'] if double else []), button)
        time.sleep(0.15)

    def click_in(self, wid, dx, dy, button=1, double=False):
        x, y, _, _ = self.geometry(wid)
        self.click(x + dx, y + dy, button, double)

    def key(self, *keys):
        self.xdotool('key', '--clearmodifiers', *keys)
        time.sleep(0.15)

    def paste_text(self, text):
        """Puts text into the focused edit through the clipboard (xdotool's typing of characters
        outside the keymap races with Qt's keymap reloads and loses some of them)."""
        clip = subprocess.Popen(['xclip', '-selection', 'clipboard', '-loops', '1'], env=self.env,
                                stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        clip.stdin.write(text.encode())
        clip.stdin.close()
        time.sleep(0.2)
        self.key('ctrl+v')
        try:
            clip.wait(5)
        except subprocess.TimeoutExpired:
            clip.kill()
        time.sleep(0.2)

    def opened(self):
        """What the program handed to the desktop's opener (xdg-open) so far."""
        try:
            with open(self.opened_log, encoding='utf-8') as f:
                return f.read()
        except OSError:
            return ''

    def clipboard(self):
        p = subprocess.run(['xclip', '-selection', 'clipboard', '-o'], env=self.env, timeout=10,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return p.stdout.decode('utf-8', 'replace')

    def type_text(self, text):
        self.xdotool('type', '--delay', '40', text)
        # Characters outside the keymap make xdotool remap a key for each; Qt reloads the keymap
        # every time, so give it a moment before the next click.
        time.sleep(0.3 + 0.3 * sum(1 for c in text if ord(c) > 127))

    def screenshot(self, label):
        self.shots += 1
        path = os.path.join(self.artefacts, f'{self.shots:02d}-{label}.png')
        subprocess.run(['import', '-window', 'root', path], env=self.env, check=True)
        log('screenshot', path)
        return path

    def screenshot_window(self, wid, label):
        self.shots += 1
        path = os.path.join(self.artefacts, f'{self.shots:02d}-{label}.png')
        x, y, w, h = self.geometry(wid)
        subprocess.run(['import', '-window', 'root', '-crop', f'{w}x{h}+{x}+{y}', '+repage', path],
                       env=self.env, check=True)
        log('screenshot', path)
        return path


def parse_xml(path):
    """The document of a data file; fails the scenario when it is missing, empty or broken."""
    check(os.path.isfile(path), f'{path} does not exist')
    with open(path, 'rb') as f:
        data = f.read()
    check(data.strip(), f'{path} is empty')
    try:
        return xml.dom.minidom.parseString(data)
    except Exception as e:  # noqa: BLE001 - any parser error fails the check
        raise Failure(f'{path} is not well-formed: {e}')


def element_text(doc, name):
    nodes = doc.getElementsByTagName(name)
    return nodes[0].firstChild.data.strip() if nodes and nodes[0].firstChild else None


def main(scenarios):
    """Command line: <scenario> --program P --endpoints H --artefacts DIR [--helpers DIR]."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument('scenario', choices=sorted(scenarios))
    parser.add_argument('--program', required=True)
    parser.add_argument('--endpoints', required=True)
    parser.add_argument('--artefacts', required=True)
    parser.add_argument('--helpers', default='')
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(1))
    try:
        options = getattr(scenarios[args.scenario], 'desktop', {})
        with Desktop(args.scenario, args.program, args.endpoints, args.artefacts, **options) as desk:
            desk.helpers = args.helpers
            scenarios[args.scenario](desk)
    except Failure as e:
        log('FAIL:', e)
        return 1
    log('PASS')
    return 0
