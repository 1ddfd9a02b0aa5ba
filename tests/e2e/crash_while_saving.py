#!/usr/bin/env python3
"""Kills the save storm (the program's own save code in a loop) with SIGKILL at random moments
and checks that every data file left behind is complete: non-empty, well-formed, right root."""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import xml.dom.minidom

ROOTS = {'settings.dat': 'torvel_settings', 'luw.dat': 'root', 'lup.dat': 'root', 'schedules.dat': 'torvel'}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('storm')
    parser.add_argument('--rounds', type=int, default=60)
    args = parser.parse_args()
    rng = random.Random(int(os.environ.get('QPA_CRASH_SEED', '20261208')))
    root = tempfile.mkdtemp(prefix='qpa-crash-')
    env = dict(os.environ, HOME=root, XDG_DATA_HOME=os.path.join(root, 'data'),
               XDG_CONFIG_HOME=os.path.join(root, 'config'), XDG_RUNTIME_DIR=os.path.join(root, 'run'))
    os.makedirs(env['XDG_RUNTIME_DIR'], mode=0o700)
    data = os.path.join(env['XDG_DATA_HOME'], 'QuorvikPcAssist')
    kills_mid_run = 0
    sizes = {}
    try:
        for n in range(args.rounds):
            p = subprocess.Popen([args.storm], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            # Let it get going (the first line comes after the first round of saves), then kill
            # it at a random moment within the following saves.
            first = p.stdout.readline()
            if not first:
                print(f'round {n}: the storm ended by itself with {p.wait()}')
                return 1
            time.sleep(rng.uniform(0.0, 0.25))
            p.kill()
            p.wait()
            if p.returncode == -9:
                kills_mid_run += 1
            for name, tag in ROOTS.items():
                path = os.path.join(data, name)
                if not os.path.exists(path):
                    print(f'round {n}: {name} is missing')
                    return 1
                with open(path, 'rb') as f:
                    body = f.read()
                if not body.strip():
                    print(f'round {n}: {name} is empty')
                    return 1
                try:
                    doc = xml.dom.minidom.parseString(body)
                except Exception as e:  # noqa: BLE001
                    print(f'round {n}: {name} is broken ({e}); {len(body)} bytes')
                    return 1
                if doc.documentElement.tagName != tag:
                    print(f'round {n}: {name} has the root {doc.documentElement.tagName}')
                    return 1
                sizes[name] = len(body)
            if os.path.exists(os.path.join(data, 'settings.dat.broken')):
                print(f'round {n}: a complete file was taken for a broken one')
                return 1
        leftovers = [f for f in os.listdir(data) if f not in ROOTS]
        print(f'{args.rounds} SIGKILLs during saves ({kills_mid_run} while running); every file complete; '
              f'final sizes {sizes}; temporary files left by killed saves: {len(leftovers)}')
        return 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
