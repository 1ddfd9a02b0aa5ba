#!/usr/bin/env python3
"""Measures the program side by side with a bare Qt Widgets program on the same private desktop
(start-up, resident memory, idle CPU) and runs the benchmark programs; writes a Markdown report.
Not a test: the figures depend on the machine. Usage:

    measure_performance.py --build BUILD_DIR [--out docs/performance.md] [--idle 60] [--runs 5]
"""

import argparse
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e import FLOAT_TITLE, Desktop, log, wait_until  # noqa: E402

CLK_TCK = os.sysconf('SC_CLK_TCK')
PAGE = os.sysconf('SC_PAGE_SIZE')


def cpu_seconds(pid):
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK  # utime + stime


def memory_kib(pid):
    values = {}
    with open(f'/proc/{pid}/status') as f:
        for line in f:
            if line.startswith(('VmRSS:', 'RssAnon:', 'RssFile:')):
                values[line.split(':')[0]] = int(line.split()[1])
    try:
        with open(f'/proc/{pid}/smaps_rollup') as f:
            for line in f:
                if line.startswith('Pss:'):
                    values['Pss'] = int(line.split()[1])
    except OSError:
        pass
    return values


def shared_objects(pid):
    libs = set()
    with open(f'/proc/{pid}/maps') as f:
        for line in f:
            path = line.split()[-1] if len(line.split()) >= 6 else ''
            if '.so' in os.path.basename(path):
                libs.add(path)
    return len(libs)


def start_and_wait(desk, argv, title, cwd):
    """Seconds from spawn until the first window is mapped, and the process."""
    started = time.monotonic()
    p = subprocess.Popen(argv, env=desk.env, cwd=cwd, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    shown = wait_until(lambda: desk.find_window(name=f'^{title}$'), 30, 0.005)
    took = time.monotonic() - started
    if not shown:
        p.kill()
        raise RuntimeError(f'{argv[0]} showed no window "{title}"')
    return took, p


def measure(desk, argv, title, runs, idle):
    cwd = os.path.dirname(argv[0])
    # One unmeasured start fills the page cache and writes the first-run files.
    _, p = start_and_wait(desk, argv, title, cwd)
    time.sleep(2)
    p.kill()
    p.wait()
    times = []
    for _ in range(runs):
        took, p = start_and_wait(desk, argv, title, cwd)
        times.append(took)
        time.sleep(1.5)
        p.kill()
        p.wait()
    _, p = start_and_wait(desk, argv, title, cwd)
    time.sleep(5)  # let start-up work (replies, first paint) settle
    mem = memory_kib(p.pid)
    libs = shared_objects(p.pid)
    cpu0, t0 = cpu_seconds(p.pid), time.monotonic()
    time.sleep(idle)
    cpu1, t1 = cpu_seconds(p.pid), time.monotonic()
    p.kill()
    p.wait()
    return {'start_ms': statistics.median(times) * 1000, 'start_all_ms': [t * 1000 for t in times],
            'mem': mem, 'libs': libs, 'idle_cpu_s': cpu1 - cpu0, 'idle_s': t1 - t0,
            'idle_cpu_pct': 100.0 * (cpu1 - cpu0) / (t1 - t0)}


def run_benchmarks(bindir):
    results = []
    for name in ('bench_lunar', 'bench_calendar', 'bench_json'):
        exe = os.path.join(bindir, name)
        if not os.access(exe, os.X_OK):
            continue
        log('running', name)
        env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
        out = subprocess.run([exe, '--benchmark_format=json', '--benchmark_min_time=0.2'], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=600)
        try:
            data = json.loads(out.stdout)
        except json.JSONDecodeError:
            continue
        for b in data.get('benchmarks', []):
            if b.get('run_type', 'iteration') != 'iteration':
                continue
            label = f" ({b['label']})" if b.get('label') else ''
            results.append((name, b['name'] + label, b['real_time'], b['cpu_time'], b['time_unit'],
                            b.get('items_per_second')))
    return results


def fmt_time(value, unit):
    ns = value * {'ns': 1, 'us': 1e3, 'ms': 1e6, 's': 1e9}[unit]
    if ns < 1e3:
        return f'{ns:.0f} ns'
    if ns < 1e6:
        return f'{ns / 1e3:.1f} µs'
    return f'{ns / 1e6:.2f} ms'


def cpu_model():
    try:
        with open('/proc/cpuinfo') as f:
            for line in f:
                if line.startswith('model name'):
                    return line.split(':', 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or '?'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', required=True)
    parser.add_argument('--out', default=os.path.join(os.path.dirname(__file__), '..', '..', 'docs',
                                                      'performance.md'))
    parser.add_argument('--idle', type=float, default=60)
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    bindir = os.path.join(args.build, 'bin')
    program = os.path.join(bindir, 'QuorvikPcAssist')
    bare = os.path.join(bindir, 'e2e_bare_window')
    endpoints = os.path.join(args.build, 'src', 'core', 'EndpointsConfig.h')
    with Desktop('performance', program, endpoints, os.path.join(args.build, 'e2e-artefacts')) as desk:
        log('bare Qt program')
        base = measure(desk, [bare], 'qpa-bare-window', args.runs, args.idle)
        log('the program')
        prog = measure(desk, [program], FLOAT_TITLE, args.runs, args.idle)
    benches = run_benchmarks(bindir)

    def ratio(a, b):
        return f'{a / b:.2f}×' if b else '–'

    rows = [
        ('Start-up to first window (median of %d)' % args.runs,
         f"{base['start_ms']:.0f} ms", f"{prog['start_ms']:.0f} ms",
         ratio(prog['start_ms'], base['start_ms']), 'within 1.5×'),
        ('Resident memory (RSS) after start-up', f"{base['mem']['VmRSS'] / 1024:.1f} MiB",
         f"{prog['mem']['VmRSS'] / 1024:.1f} MiB", ratio(prog['mem']['VmRSS'], base['mem']['VmRSS']),
         'within 2×'),
        ('  of it private (RssAnon)', f"{base['mem'].get('RssAnon', 0) / 1024:.1f} MiB",
         f"{prog['mem'].get('RssAnon', 0) / 1024:.1f} MiB",
         ratio(prog['mem'].get('RssAnon', 0), base['mem'].get('RssAnon', 1)), ''),
        ('Proportional set size (PSS)', f"{base['mem'].get('Pss', 0) / 1024:.1f} MiB",
         f"{prog['mem'].get('Pss', 0) / 1024:.1f} MiB",
         ratio(prog['mem'].get('Pss', 0), base['mem'].get('Pss', 1)), ''),
        ('Shared libraries mapped (incl. plug-ins)', str(base['libs']), str(prog['libs']),
         ratio(prog['libs'], base['libs']), ''),
        (f"CPU time in {prog['idle_s']:.0f} idle seconds", f"{base['idle_cpu_s'] * 1000:.0f} ms "
         f"({base['idle_cpu_pct']:.3f} %)", f"{prog['idle_cpu_s'] * 1000:.0f} ms ({prog['idle_cpu_pct']:.3f} %)",
         '', 'under 0.1 %'),
    ]
    lines = [
        '# Performance figures',
        '',
        f'Measured {datetime.date.today().isoformat()} by `tests/e2e/measure_performance.py --build <build folder>` '
        f'on {os.cpu_count()} cores ({cpu_model()}), {platform.system()} {platform.release()}, '
        'under Xvfb with openbox and tint2 (the end-to-end desktop), with the fake remote services of '
        'the end-to-end tests answering at once. The build was RelWithDebInfo. These are figures to '
        'compare, not tests: CI does not fail on them.',
        '',
        'The baseline is `e2e_bare_window`, a Qt Widgets program that shows one 900 × 600 window. '
        '"Start-up" is the time from process start until its first window is mapped (the floating '
        'window for the program, whose event loop is running by then, since it is shown from the settings '
        'load right before `exec`; the main window stays hidden). Memory is read from `/proc` five '
        'seconds after start-up, when the start-up requests (version, website list, "login") have '
        'been answered. Idle CPU is the process\'s user + system time over the idle period, with the '
        'floating window and tray icon shown and the once-a-second schedule check running.',
        '',
        '| Figure | Bare Qt program | QuorvikPcAssist | Ratio | Goal |',
        '|---|---|---|---|---|',
    ]
    lines += [f'| {a} | {b} | {c} | {d} | {e} |' for a, b, c, d, e in rows]
    lines += ['', 'Reading the start-up figure: before `main` runs, the dynamic loader maps and relocates '
              f"every shared library; the program maps {prog['libs']} against the bare program's "
              f"{base['libs']} (QtNetwork with its Kerberos/GSSAPI, libproxy and Brotli dependencies, "
              'QtXml, XCB key symbols), and under `strace` the time before `main` accounts for most of '
              'the difference. After that the program builds the hidden main window with all five '
              'pages, loads their pictures, and shows the tray icon and the floating window.']
    lines += ['', 'Single start-up times (ms): bare ' +
              ', '.join(f'{t:.0f}' for t in base['start_all_ms']) + '; program ' +
              ', '.join(f'{t:.0f}' for t in prog['start_all_ms']) + '.', '']
    if benches:
        lines += ['## Benchmarks', '',
                  'Google Benchmark programs of the build (`bin/bench_*`), run with '
                  '`--benchmark_min_time=0.2`.', '',
                  '| Program | Benchmark | Time | CPU | Throughput |', '|---|---|---|---|---|']
        for exe, name, real, cpu, unit, ips in benches:
            through = f'{ips / 1e6:.2f} M items/s' if ips and ips >= 1e6 else (f'{ips:,.0f} items/s' if ips else '')
            lines.append(f'| {exe} | `{name}` | {fmt_time(real, unit)} | {fmt_time(cpu, unit)} | {through} |')
        lines.append('')
    out = os.path.abspath(args.out)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines))
    print('\n'.join(lines))
    log('wrote', out)


if __name__ == '__main__':
    main()
