#!/usr/bin/env python3
"""Writes the weather pictures (one SVG per phenomenon code) from a few shared parts.

The SVGs are committed; rerun this after changing a part:  python3 compose.py
Everything stays inside the SVG Tiny subset QtSvg renders (no filters, masks or clip paths).
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

DEFS = """
  <defs>
    <radialGradient id="sunDisk" cx="0.42" cy="0.38" r="0.62">
      <stop offset="0" stop-color="#FFE27A"/>
      <stop offset="0.55" stop-color="#FFB52E"/>
      <stop offset="1" stop-color="#F08A00"/>
    </radialGradient>
    <radialGradient id="sunGlow" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0.45" stop-color="#FFC247" stop-opacity="0.45"/>
      <stop offset="1" stop-color="#FFC247" stop-opacity="0"/>
    </radialGradient>
    <linearGradient id="ray" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FFC247"/>
      <stop offset="1" stop-color="#FA9E00"/>
    </linearGradient>
    <linearGradient id="cloudLight" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FFFFFF"/>
      <stop offset="0.6" stop-color="#F1F6FD"/>
      <stop offset="1" stop-color="#CFE0F6"/>
    </linearGradient>
    <linearGradient id="cloudGrey" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#E6ECF3"/>
      <stop offset="1" stop-color="#AFC0D3"/>
    </linearGradient>
    <linearGradient id="cloudDark" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8FA6C2"/>
      <stop offset="1" stop-color="#5A7393"/>
    </linearGradient>
    <linearGradient id="cloudStorm" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7489A6"/>
      <stop offset="1" stop-color="#3F5573"/>
    </linearGradient>
    <linearGradient id="cloudSand" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#F3E2C4"/>
      <stop offset="1" stop-color="#D9B47A"/>
    </linearGradient>
    <radialGradient id="shadow" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#0B4F86" stop-opacity="0.22"/>
      <stop offset="1" stop-color="#0B4F86" stop-opacity="0"/>
    </radialGradient>
    <linearGradient id="drop" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7DB8F7"/>
      <stop offset="1" stop-color="#2871D5"/>
    </linearGradient>
    <linearGradient id="dropHeavy" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#3D8BE6"/>
      <stop offset="1" stop-color="#0B5C96"/>
    </linearGradient>
    <linearGradient id="bolt" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FFD54A"/>
      <stop offset="1" stop-color="#FA9E00"/>
    </linearGradient>
    <radialGradient id="hail" cx="0.38" cy="0.35" r="0.7">
      <stop offset="0" stop-color="#FFFFFF"/>
      <stop offset="1" stop-color="#BFD9F5"/>
    </radialGradient>
    <linearGradient id="flake" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#6FB0F5"/>
      <stop offset="1" stop-color="#2871D5"/>
    </linearGradient>
    <linearGradient id="fog" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#9FB3C9" stop-opacity="0.2"/>
      <stop offset="0.3" stop-color="#8CA2BC"/>
      <stop offset="0.7" stop-color="#8CA2BC"/>
      <stop offset="1" stop-color="#9FB3C9" stop-opacity="0.2"/>
    </linearGradient>
    <linearGradient id="sand" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#D99A45" stop-opacity="0.15"/>
      <stop offset="0.35" stop-color="#C98532"/>
      <stop offset="1" stop-color="#A8641E"/>
    </linearGradient>
    <linearGradient id="haze" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#A89F86" stop-opacity="0.15"/>
      <stop offset="0.3" stop-color="#9C937A"/>
      <stop offset="0.7" stop-color="#9C937A"/>
      <stop offset="1" stop-color="#A89F86" stop-opacity="0.15"/>
    </linearGradient>
    <linearGradient id="ice" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#E8F4FF"/>
      <stop offset="1" stop-color="#8EC3F2"/>
    </linearGradient>
    <linearGradient id="mark" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2871D5"/>
      <stop offset="1" stop-color="#076591"/>
    </linearGradient>
    <linearGradient id="dune" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#E8B96E"/>
      <stop offset="1" stop-color="#C98532" stop-opacity="0.5"/>
    </linearGradient>
    <radialGradient id="dustVeil" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#E6CFA4" stop-opacity="0.75"/>
      <stop offset="0.7" stop-color="#E6CFA4" stop-opacity="0.45"/>
      <stop offset="1" stop-color="#E6CFA4" stop-opacity="0"/>
    </radialGradient>
    <radialGradient id="hazeVeil" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#CFC9B6" stop-opacity="0.8"/>
      <stop offset="0.7" stop-color="#CFC9B6" stop-opacity="0.5"/>
      <stop offset="1" stop-color="#CFC9B6" stop-opacity="0"/>
    </radialGradient>
  </defs>"""


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" height="100" viewBox="0 0 100 100">'
            + DEFS + "\n" + body + "\n</svg>\n")


def sun(cx, cy, r, rays=True, glow=True):
    out = []
    if glow:
        out.append(f'<circle cx="{cx}" cy="{cy}" r="{r * 1.9:.1f}" fill="url(#sunGlow)"/>')
    if rays:
        for i in range(8):
            a = math.radians(i * 45 + 22.5)
            x1, y1 = cx + math.cos(a) * r * 1.3, cy + math.sin(a) * r * 1.3
            x2, y2 = cx + math.cos(a) * r * 1.65, cy + math.sin(a) * r * 1.65
            out.append(f'<line x1="{x1:.1f}" y1="{y1:.1f}" x2="{x2:.1f}" y2="{y2:.1f}" stroke="#FFAA1A" '
                       f'stroke-width="{r * 0.22:.1f}" stroke-linecap="round"/>')
    out.append(f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="url(#sunDisk)" stroke="#F29400" stroke-width="1"/>')
    out.append(f'<ellipse cx="{cx - r * 0.3:.1f}" cy="{cy - r * 0.38:.1f}" rx="{r * 0.42:.1f}" ry="{r * 0.26:.1f}" '
               f'fill="#FFFFFF" fill-opacity="0.45"/>')
    return "\n".join(out)


def cloud(cx, cy, s, fill="cloudLight", edge="#9DBBE0", shadow=True, gloss=True):
    """A cloud centred at (cx, cy); s scales the 52 x 30 unit base shape."""
    parts = [
        ("rect", -26, -2, 53, 16, 8),
        ("circle", -13, -1, 11),
        ("circle", 3, -8, 15),
        ("circle", 17, -1, 10),
    ]

    def shapes(extra):
        out = []
        for p in parts:
            if p[0] == "rect":
                _, x, y, w, h, rx = p
                out.append(f'<rect x="{cx + x * s:.1f}" y="{cy + y * s:.1f}" width="{w * s:.1f}" height="{h * s:.1f}" '
                           f'rx="{rx * s:.1f}" {extra}/>')
            else:
                _, x, y, r = p
                out.append(f'<circle cx="{cx + x * s:.1f}" cy="{cy + y * s:.1f}" r="{r * s:.1f}" {extra}/>')
        return out

    out = []
    if shadow:
        out.append(f'<ellipse cx="{cx + 1 * s:.1f}" cy="{cy + 16 * s:.1f}" rx="{30 * s:.1f}" ry="{6 * s:.1f}" '
                   f'fill="url(#shadow)"/>')
    out += shapes(f'fill="{edge}" stroke="{edge}" stroke-width="{2.4 * s:.1f}"')
    # userSpaceOnUse keeps one gradient across every piece of the cloud.
    gid = f"{fill}_{int(cx)}_{int(cy)}_{int(s * 100)}"
    y0, y1 = cy - 23 * s, cy + 14 * s
    out.insert(0, f'<linearGradient id="{gid}" gradientUnits="userSpaceOnUse" x1="0" y1="{y0:.1f}" x2="0" y2="{y1:.1f}" '
                  f'xlink:href="#{fill}"/>')
    out += shapes(f'fill="url(#{gid})"')
    if gloss:
        out.append(f'<ellipse cx="{cx + 0 * s:.1f}" cy="{cy - 13 * s:.1f}" rx="{9 * s:.1f}" ry="{4.5 * s:.1f}" '
                   f'fill="#FFFFFF" fill-opacity="0.55"/>')
    return "\n".join(out)


def drop(x, y, s=1.15, fill="drop"):
    # A slanted tear drop whose tip points up and a little to the right.
    return (f'<g transform="translate({x:.1f},{y:.1f}) rotate(18) scale({s:.2f})">'
            f'<path d="M0,-8 C1.5,-4.5 4.2,-1.6 4.2,1.8 A4.2,4.2 0 0 1 -4.2,1.8 C-4.2,-1.6 -1.5,-4.5 0,-8 Z" '
            f'fill="url(#{fill})"/>'
            f'<ellipse cx="-1.5" cy="1" rx="1" ry="1.8" fill="#FFFFFF" fill-opacity="0.6"/></g>')


def flake(x, y, r=6.0):
    out = [f'<g transform="translate({x:.1f},{y:.1f})" stroke="url(#flake)" stroke-width="{r * 0.28:.1f}" '
           f'stroke-linecap="round" fill="none">']
    for i in range(3):
        out.append(f'<g transform="rotate({i * 60 + 90})">'
                   f'<line x1="{-r}" y1="0" x2="{r}" y2="0"/>'
                   f'<path d="M{r * 0.55:.1f},{-r * 0.35:.1f} L{r * 0.3:.1f},0 L{r * 0.55:.1f},{r * 0.35:.1f} '
                   f'M{-r * 0.55:.1f},{-r * 0.35:.1f} L{-r * 0.3:.1f},0 L{-r * 0.55:.1f},{r * 0.35:.1f}"/></g>')
    out.append("</g>")
    return "".join(out)


def hail(x, y, r=4.4):
    return f'<circle cx="{x}" cy="{y}" r="{r}" fill="url(#hail)" stroke="#5E9BDD" stroke-width="1.1"/>'


def bolt(x, y, s=1.0):
    return (f'<g transform="translate({x},{y}) scale({s})">'
            f'<path d="M2,-14 L-9,3 L-1,3 L-5,17 L9,-2 L1,-2 L6,-14 Z" fill="url(#bolt)" stroke="#E07A00" '
            f'stroke-width="1.2" stroke-linejoin="round"/></g>')


def rain(count, heavy=False, y=72):
    xs = {1: [50], 2: [40, 58], 3: [33, 50, 67], 4: [30, 44, 58, 72], 5: [28, 39, 50, 61, 72],
          6: [26, 36, 46, 56, 66, 76], 7: [25, 34, 43, 52, 61, 70, 79]}[count]
    out = []
    for i, x in enumerate(xs):
        dy = (i % 2) * 9
        s = 1.2 if heavy else 1.15
        out.append(drop(x, y + dy, s, "dropHeavy" if heavy else "drop"))
        if count >= 6:
            out.append(drop(x - 3, y + dy + 15, 0.75, "dropHeavy" if heavy else "drop"))
    return "\n".join(out)


def snow(count, y=74):
    xs = {2: [40, 60], 3: [32, 50, 68], 4: [29, 43, 57, 71], 5: [27, 38, 50, 62, 73]}[count]
    r = {2: 8.5, 3: 7.6, 4: 6.8, 5: 6.0}[count]
    return "\n".join(flake(x, y + (i % 2) * 10, r) for i, x in enumerate(xs))


def bars(y0, n, grad, gap=9, width=64, wave=True):
    out = []
    for i in range(n):
        y = y0 + i * gap
        x0 = 50 - width / 2 + (6 if i % 2 else 0)
        w = width - 12
        if wave:
            d = (f"M{x0:.1f},{y} q{w / 8:.1f},-3.5 {w / 4:.1f},0 t{w / 4:.1f},0 t{w / 4:.1f},0 t{w / 4:.1f},0")
        else:
            d = f"M{x0:.1f},{y} h{w:.1f}"
        out.append(f'<path d="{d}" fill="none" stroke="url(#{grad})" stroke-width="4.2" stroke-linecap="round"/>')
    return "\n".join(out)


def dust(points, color="#B8792E", r=1.8):
    return "\n".join(f'<circle cx="{x}" cy="{y}" r="{rr}" fill="{color}" fill-opacity="{o}"/>'
                     for (x, y, rr, o) in [(p[0], p[1], p[2] if len(p) > 2 else r, p[3] if len(p) > 3 else 0.85)
                                           for p in points])


def swirl(y, length, grad="sand", width=4.2):
    return (f'<path d="M{50 - length / 2:.1f},{y} h{length * 0.7:.1f} a6,6 0 1 0 -6,-6" fill="none" '
            f'stroke="url(#{grad})" stroke-width="{width}" stroke-linecap="round"/>')


def question(x, y, s=1.0, color="url(#mark)"):
    return (f'<g transform="translate({x},{y}) scale({s})">'
            f'<path d="M-6,-6 A6.5,6.5 0 1 1 2,0.3 C0.4,1.2 0,2.4 0,4.5" fill="none" stroke="{color}" '
            f'stroke-width="4" stroke-linecap="round"/>'
            f'<circle cx="0" cy="11" r="2.6" fill="{color}"/></g>')


# Cloud positions shared by the precipitation pictures.
RAIN_CLOUD = (50, 44, 1.18)


def precip_cloud(kind="cloudLight", edge="#9DBBE0", behind=None):
    out = []
    if behind:
        out.append(cloud(60, 34, 0.9, behind[0], behind[1], shadow=False, gloss=False))
    cx, cy, s = RAIN_CLOUD
    out.append(cloud(cx, cy, s, kind, edge))
    return "\n".join(out)


def storm_cloud():
    return precip_cloud("cloudDark", "#5A7393", behind=("cloudGrey", "#9AAEC4"))


def heavy_cloud():
    return precip_cloud("cloudGrey", "#8EA4BE", behind=("cloudDark", "#6E85A3"))


PICTURES = {
    # 晴
    "00": sun(50, 50, 20),
    # 多云
    "01": sun(36, 36, 15) + cloud(56, 60, 1.1),
    # 阴
    "02": cloud(62, 38, 0.95, "cloudGrey", "#9AAEC4", shadow=False, gloss=False)
          + cloud(46, 58, 1.2, "cloudGrey", "#8EA4BE"),
    # 阵雨
    "03": sun(34, 30, 13) + cloud(54, 46, 1.08) + rain(3, y=76),
    # 雷阵雨
    "04": storm_cloud() + bolt(50, 75) + drop(31, 74) + drop(70, 74),
    # 雷阵雨伴有冰雹
    "05": storm_cloud() + bolt(46, 75) + hail(28, 73) + hail(67, 71) + hail(74, 86) + hail(34, 88),
    # 雨夹雪
    "06": precip_cloud() + drop(32, 72) + flake(50, 78, 6.5) + drop(68, 72),
    # 小雨
    "07": precip_cloud() + rain(2),
    # 中雨
    "08": precip_cloud() + rain(3),
    # 大雨
    "09": heavy_cloud() + rain(4, heavy=True),
    # 暴雨
    "10": storm_cloud() + rain(5, heavy=True),
    # 大暴雨
    "11": storm_cloud() + rain(6, heavy=True),
    # 特大暴雨
    "12": storm_cloud() + rain(7, heavy=True),
    # 阵雪
    "13": sun(34, 30, 13) + cloud(54, 46, 1.08) + snow(3, y=78),
    # 小雪
    "14": precip_cloud() + snow(2),
    # 中雪
    "15": precip_cloud() + snow(3),
    # 大雪
    "16": heavy_cloud() + snow(4),
    # 暴雪
    "17": storm_cloud() + snow(5),
    # 雾
    "18": cloud(50, 36, 1.0, "cloudGrey", "#9AAEC4", gloss=False, shadow=False) + bars(58, 4, "fog"),
    # 冻雨
    "19": precip_cloud() + drop(34, 68) + drop(52, 70) + drop(70, 68)
          + '<path d="M20,84 h60 M26,84 l2.5,9 l2.5,-9 M44,84 l2,7 l2,-7 M60,84 l2.5,10 l2.5,-10 M74,84 l1.8,6 l1.8,-6" '
            'fill="url(#ice)" stroke="#5E9BDD" stroke-width="2.4" stroke-linecap="round" stroke-linejoin="round"/>',
    # 沙尘暴
    "20": cloud(50, 34, 1.0, "cloudSand", "#C99A5A", shadow=False, gloss=False)
          + swirl(60, 56) + swirl(74, 44) + bars(86, 1, "sand", wave=False, width=60)
          + dust([(22, 66), (80, 58), (76, 80), (28, 82, 2.2), (62, 92, 1.5)]),
    # 小到中雨
    "21": precip_cloud() + drop(34, 72, 0.8) + drop(50, 80) + drop(66, 72, 1.1),
    # 中到大雨
    "22": heavy_cloud() + drop(30, 72, 0.9) + drop(44, 80) + drop(58, 72, 1.05, "dropHeavy") + drop(72, 80, 1.1, "dropHeavy"),
    # 大到暴雨
    "23": storm_cloud() + rain(4, heavy=True) + drop(50, 92, 0.8, "dropHeavy"),
    # 暴雨到大暴雨
    "24": storm_cloud() + rain(5, heavy=True) + drop(45, 93, 0.75, "dropHeavy") + drop(67, 93, 0.75, "dropHeavy"),
    # 暴雨到特大暴雨
    "25": storm_cloud() + rain(6, heavy=True) + bars(97, 1, "fog", wave=False, width=70),
    # 小到中雪
    "26": precip_cloud() + flake(34, 74, 5.5) + flake(52, 84, 6.5) + flake(69, 74, 7),
    # 中到大雪
    "27": heavy_cloud() + snow(4) + flake(50, 93, 4.5),
    # 大到暴雪
    "28": storm_cloud() + snow(5) + flake(44, 93, 4.5) + flake(62, 93, 4.5),
    # 浮尘
    "29": sun(50, 42, 17, rays=False)
          + '<ellipse cx="50" cy="50" rx="44" ry="36" fill="url(#dustVeil)"/>'
          + dust([(22, 30), (34, 22, 1.5), (70, 26), (80, 40, 1.6), (28, 52, 2.0), (60, 58, 2.4), (74, 66, 2.0),
                  (40, 70, 1.8), (50, 30, 1.4), (18, 72, 1.8), (84, 76, 2.0), (56, 80, 2.2), (32, 86, 1.8),
                  (70, 88, 2.2), (46, 92, 1.6)]),
    # 扬沙
    "30": '<path d="M6,96 C20,80 36,74 52,78 S82,86 96,80 V96 Z" fill="url(#dune)"/>'
          + swirl(30, 70, width=6) + swirl(50, 56, width=6) + bars(66, 1, "sand", wave=False, width=70)
          + dust([(18, 22, 2.2), (84, 24, 2.4), (86, 48, 2.0), (20, 50, 2.2), (40, 86, 1.8), (66, 70, 2.0),
                  (78, 62, 1.6)]),
    # 强沙尘暴
    "31": cloud(50, 30, 1.05, "cloudSand", "#B5823F", shadow=False, gloss=False)
          + '<path d="M22,52 h54 M28,62 h46 M34,72 h36 M40,82 h24 M46,91 h12" fill="none" stroke="url(#sand)" '
            'stroke-width="5" stroke-linecap="round"/>'
          + dust([(16, 56, 2.2), (84, 54, 2.4), (18, 74, 2.0), (82, 76, 2.2), (24, 90, 1.8), (74, 92, 2.0),
                  (88, 66, 1.6), (12, 66, 1.6)], color="#9A5A18"),
    # 霾
    "53": sun(50, 40, 17, rays=False)
          + '<ellipse cx="50" cy="46" rx="46" ry="38" fill="url(#hazeVeil)"/>'
          + bars(56, 4, "haze", gap=9, width=70)
          + dust([(20, 30, 1.4), (80, 28, 1.4), (30, 20, 1.2), (70, 18, 1.2)], color="#8A826C"),
    # 未知
    "99": cloud(50, 52, 1.25, "cloudGrey", "#9AAEC4") + question(52, 42, 1.35),
}

# Shown when no forecast arrived at all.
UNDEFINED = (cloud(50, 52, 1.25, "cloudLight", "#B9CCE4")
             + question(52, 42, 1.35, color="#9DB2CC"))


def main():
    os.makedirs(HERE, exist_ok=True)
    for code, body in PICTURES.items():
        with open(os.path.join(HERE, f"{code}.svg"), "w", encoding="utf-8") as f:
            f.write(svg(body))
    with open(os.path.join(HERE, "undefined.svg"), "w", encoding="utf-8") as f:
        f.write(svg(UNDEFINED))


if __name__ == "__main__":
    main()
