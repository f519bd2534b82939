#!/usr/bin/env python3
"""Writes the SVG sources of Kestrane's compiled-in images.

Every picture of the tool is drawn here as plain SVG so that the artwork can be
edited and re-rendered (scripts/render_icons.sh turns the SVGs into PNGs).
The icon sets share shapes (line icons, camera bodies), which is why they are
generated instead of hand-written one by one.

Usage: python3 scripts/gen_icon_svgs.py [output-dir]
The default output directory is resources/icons/src next to this script's repo.
Standard library only; the output is byte-for-byte deterministic.
"""

import colorsys
import math
import os
import sys

FONT = "WenQuanYi Micro Hei"

# Palette of the dark UI.
BG = "#10121a"
BG2 = "#1e1e1e"
ACCENT = "#1b89ef"
ACCENT2 = "#1e90ff"
ICON = "#e8ebf0"        # light line icons on dark backgrounds
ICON_DIM = "#aab2bd"    # secondary / inactive
NAVY = "#0c2442"        # text colour used on the light selection pages


def f(v):
    """Compact number formatting (stable across runs)."""
    if isinstance(v, int):
        return str(v)
    s = "%.3f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def svg(w, h, body, vb=None, extra_defs=""):
    vb = vb or "0 0 %s %s" % (f(w), f(h))
    defs = "<defs>%s</defs>\n" % extra_defs if extra_defs else ""
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s" viewBox="%s">\n'
            '%s%s\n</svg>\n') % (f(w), f(h), vb, defs, body.strip())


def hsv_hex(h_deg, s, v):
    r, g, b = colorsys.hsv_to_rgb((h_deg % 360.0) / 360.0, s, v)
    return "#%02x%02x%02x" % (round(r * 255), round(g * 255), round(b * 255))


# ---------------------------------------------------------------------------
# Line icons (24-unit grid)
# ---------------------------------------------------------------------------

def line_icon(body, sw=2.0, color=ICON, size=24, vb=24):
    g = ('<g fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round" '
         'stroke-linejoin="round">%s</g>') % (color, f(sw), body)
    return svg(size, size, g, vb="0 0 %d %d" % (vb, vb))


def icon_minimize(c=ICON):
    return line_icon('<path d="M6 12.5H18"/>', 2.2, c)


def icon_close(c=ICON):
    return line_icon('<path d="M6.5 6.5L17.5 17.5M17.5 6.5L6.5 17.5"/>', 2.2, c)


def icon_return(c=ICON):
    return line_icon('<path d="M10.5 5.5L4 12L10.5 18.5M4.5 12H20"/>', 2.2, c)


def ptz_glyph(c, fill_centre=False, sw=2.0):
    """Direction pad: ring, four arrow heads and a centre dot."""
    heads = (
        '<path d="M12 4.6L14.4 7.2H9.6Z"/>'
        '<path d="M12 19.4L14.4 16.8H9.6Z"/>'
        '<path d="M4.6 12L7.2 9.6V14.4Z"/>'
        '<path d="M19.4 12L16.8 9.6V14.4Z"/>'
    )
    centre = ('<circle cx="12" cy="12" r="2.4" fill="%s" stroke="none"/>' % c) if fill_centre else \
        '<circle cx="12" cy="12" r="2.2"/>'
    return ('<g fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round" stroke-linejoin="round">'
            '<circle cx="12" cy="12" r="9.6"/>'
            '<g fill="%s" stroke-width="1.2">%s</g>%s</g>') % (c, f(sw), c, heads, centre)


def icon_ptz(on):
    if not on:
        return svg(24, 24, ptz_glyph(ICON_DIM))
    glow = ('<circle cx="12" cy="12" r="10.6" fill="%s" fill-opacity="0.18"/>' % ACCENT2)
    return svg(24, 24, glow + ptz_glyph(ACCENT2, fill_centre=True))


def icon_preview(expanded):
    """Preview toggle: a monitor with a play mark; lit blue while the preview is open."""
    c = ACCENT2 if expanded else ICON_DIM
    screen = '<rect x="2.8" y="4.2" width="18.4" height="12.6" rx="2.2"/><path d="M8.5 20.2H15.5M12 16.8V20.2"/>'
    if expanded:
        play = '<path d="M10.2 7.9V13.1L14.6 10.5Z" fill="%s" stroke-width="1.4"/>' % c
        glow = '<rect x="2.8" y="4.2" width="18.4" height="12.6" rx="2.2" fill="%s" fill-opacity="0.2" stroke="none"/>' % c
        body = glow + screen + play
    else:
        play = '<path d="M10.2 7.9V13.1L14.6 10.5Z" stroke-width="1.6"/>'
        body = screen + play
    return line_icon(body, 2.0, c)


def icon_arrow(direction):
    """Solid rounded triangle for the PTZ pad (shown as small as 8x8)."""
    pts = "8,2.5 14,12 2,12"
    rot = {"up": 0, "right": 90, "down": 180, "left": 270}[direction]
    body = ('<g transform="rotate(%d 8 8)"><polygon points="%s" transform="translate(0 0.8)" fill="%s" '
            'stroke="%s" stroke-width="2" stroke-linejoin="round"/></g>') % (rot, pts, ICON, ICON)
    return svg(16, 16, body, vb="0 0 16 16")


def icon_home():
    return line_icon('<path d="M4 11L12 4L20 11"/><path d="M6.2 9.4V19.2H10V14.4H14V19.2H17.8V9.4"/>', 2.2)


def icon_add():
    return line_icon('<path d="M12 5V19M5 12H19"/>', 2.6)


def icon_delete():
    return line_icon('<path d="M4.5 6.5H19.5M9.5 6.5V4.5H14.5V6.5"/>'
                     '<path d="M6.5 6.5L7.4 19.2A1.6 1.6 0 0 0 9 20.6H15A1.6 1.6 0 0 0 16.6 19.2L17.5 6.5"/>'
                     '<path d="M10.2 10.5V16.5M13.8 10.5V16.5"/>', 2.2)


def icon_rename():
    return line_icon('<path d="M15.5 4.8L19.2 8.5L9 18.7L4.6 19.4L5.3 15Z"/><path d="M13.3 7L17 10.7"/>'
                     '<path d="M13 20H19.5"/>', 2.2)


def icon_replace():
    return line_icon('<path d="M4.5 9.5A8 8 0 0 1 18.6 7"/><path d="M19.3 3.6V7.6H15.3"/>'
                     '<path d="M19.5 14.5A8 8 0 0 1 5.4 17"/><path d="M4.7 20.4V16.4H8.7"/>', 2.2)


def icon_image():
    return line_icon('<rect x="3" y="4.5" width="18" height="15" rx="2.5"/>'
                     '<path d="M3.8 17.5L9 12.2L12.6 15.6L15.2 13.2L20.2 17.8"/>'
                     '<circle cx="15.8" cy="9" r="1.7"/>', 2.2)


def icon_exposure():
    return line_icon('<rect x="3.5" y="3.5" width="17" height="17" rx="3"/><path d="M19.5 4.5L4.5 19.5"/>'
                     '<path d="M6.5 9H11M8.75 6.75V11.25"/><path d="M13.5 16.2H17.5"/>', 2.2)


def icon_focus():
    return line_icon('<path d="M3.5 8.5V5.5A2 2 0 0 1 5.5 3.5H8.5M15.5 3.5H18.5A2 2 0 0 1 20.5 5.5V8.5'
                     'M20.5 15.5V18.5A2 2 0 0 1 18.5 20.5H15.5M8.5 20.5H5.5A2 2 0 0 1 3.5 18.5V15.5"/>'
                     '<circle cx="12" cy="12" r="4.2"/><path d="M12 12.01V12"/>', 2.1)


def icon_color():
    return line_icon('<circle cx="12" cy="8.6" r="5"/><circle cx="8.4" cy="14.6" r="5"/>'
                     '<circle cx="15.6" cy="14.6" r="5"/>', 2.0)


def icon_palette():
    body = ('<path d="M12 3.2C6.9 3.2 3 7 3 11.9C3 16.7 6.9 20.8 11.6 20.8C13.2 20.8 13.8 19.8 13.4 18.6'
            'C12.9 17.1 13.8 15.8 15.4 15.8H17.3C19.4 15.8 21 14.2 21 11.9C21 7 17 3.2 12 3.2Z"/>')
    dots = ''.join('<circle cx="%s" cy="%s" r="1.35" fill="%s" stroke="none"/>' % (x, y, ICON)
                   for x, y in ((7.6, 12.4), (8.6, 8.2), (12.4, 6.8), (16.2, 8.6)))
    return line_icon(body + dots, 2.1)


def icon_setting():
    # Gear: 8 teeth around a ring.
    r_out, r_in = 9.6, 7.2
    pts = []
    for i in range(8):
        a0 = math.radians(i * 45 - 11)
        a1 = math.radians(i * 45 + 11)
        a2 = math.radians(i * 45 + 22.5 - 9)
        a3 = math.radians(i * 45 + 22.5 + 9)
        pts += [(r_out, a0), (r_out, a1), (r_in, a2), (r_in, a3)]
    d = "M" + " L".join("%s %s" % (f(12 + r * math.cos(a)), f(12 + r * math.sin(a))) for r, a in pts) + "Z"
    return line_icon('<path d="%s"/><circle cx="12" cy="12" r="3.2"/>' % d, 2.0)


def icon_color_picker():
    # Eyedropper: filled bulb, collar and a tilted glass tube.
    return line_icon('<path d="M15.8 3.9A2.6 2.6 0 0 1 20.1 8.2L17.9 10.4L13.6 6.1Z" fill="%s"/>'
                     '<path d="M12.2 4.7L19.3 11.8"/>'
                     '<path d="M16.1 8.6L7.3 17.4A2 2 0 0 1 6.3 17.9L4.2 19.8L4.2 19.8L6.1 17.7A2 2 0 0 1 6.6 16.7L15.4 7.9"/>'
                     '<path d="M15.4 7.9L7.6 15.7L8.3 16.4"/>' % ICON, 2.0)


def icon_reset():
    return line_icon('<path d="M5.2 9.2A7.6 7.6 0 1 1 4.6 13.8"/><path d="M4.4 4.8V9.6H9.2"/>', 2.3)


def icon_enlarge():
    return line_icon('<path d="M14 4H20V10M20 4L13.5 10.5"/><path d="M10 20H4V14M4 20L10.5 13.5"/>', 2.2)


def icon_lens_change():
    # Drawn on a 16-unit grid: shown at 16x16 without scaling. A lens inside two
    # turning arrows.
    body = ('<path d="M2.6 6.4A5.7 5.7 0 0 1 12.7 4.2"/><path d="M13.4 9.6A5.7 5.7 0 0 1 3.3 11.8"/>'
            '<path d="M13.2 1.8V4.6H10.4" /><path d="M2.8 14.2V11.4H5.6"/>'
            '<circle cx="8" cy="8" r="2.3" fill="%s" stroke="none"/>' % ICON)
    return line_icon(body, 1.5, ICON, size=16, vb=16)


def icon_switch(on):
    if on:
        track = ('<linearGradient id="t" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#2c9bff"/>'
                 '<stop offset="1" stop-color="#1479dc"/></linearGradient>')
        body = ('<rect x="0.5" y="0.5" width="39" height="19" rx="9.5" fill="url(#t)"/>'
                '<circle cx="30" cy="10.6" r="7.6" fill="#000" fill-opacity="0.18"/>'
                '<circle cx="30" cy="10" r="7.5" fill="#ffffff"/>')
        return svg(40, 20, body, extra_defs=track)
    body = ('<rect x="0.5" y="0.5" width="39" height="19" rx="9.5" fill="#2f343c" stroke="#4a515b"/>'
            '<circle cx="10" cy="10.6" r="7.6" fill="#000" fill-opacity="0.25"/>'
            '<circle cx="10" cy="10" r="7.4" fill="#b9c0c9"/>')
    return svg(40, 20, body)


# ---------------------------------------------------------------------------
# Brand mark
# ---------------------------------------------------------------------------

def logo_group(uid="lg"):
    """The Kestrane mark on a 256 grid: blue tile, white lens ring, pan arc."""
    defs = ('<linearGradient id="%s_bg" x1="0" y1="0" x2="1" y2="1">'
            '<stop offset="0" stop-color="#35a8ff"/><stop offset="1" stop-color="#0f5fd0"/></linearGradient>'
            '<radialGradient id="%s_glass" cx="0.4" cy="0.35" r="0.75">'
            '<stop offset="0" stop-color="#2b4f86"/><stop offset="1" stop-color="#071327"/></radialGradient>') % (uid, uid)
    body = ('<rect x="8" y="8" width="240" height="240" rx="56" fill="url(#%s_bg)"/>'
            '<path d="M8 128 Q128 80 248 128 V64 A56 56 0 0 0 192 8 H64 A56 56 0 0 0 8 64Z" fill="#ffffff" fill-opacity="0.08"/>'
            '<circle cx="128" cy="128" r="72" fill="#ffffff"/>'
            '<circle cx="128" cy="128" r="50" fill="url(#%s_glass)"/>'
            '<circle cx="128" cy="128" r="22" fill="#1e90ff"/>'
            '<circle cx="108" cy="108" r="10" fill="#ffffff" fill-opacity="0.9"/>') % (uid, uid)
    return defs, body


def logo_svg():
    defs, body = logo_group()
    return svg(256, 256, body, extra_defs=defs)


# ---------------------------------------------------------------------------
# Camera illustrations (224 grid, front view with shading)
# ---------------------------------------------------------------------------

def lens(cx, cy, r, uid, ring="#c9d0d8", accent=None):
    """Glass lens with bezel and reflections."""
    defs = ('<radialGradient id="%s_bez" cx="0.5" cy="0.3" r="0.8"><stop offset="0" stop-color="#f4f6f8"/>'
            '<stop offset="0.6" stop-color="%s"/><stop offset="1" stop-color="#6b7480"/></radialGradient>'
            '<radialGradient id="%s_gl" cx="0.42" cy="0.38" r="0.7"><stop offset="0" stop-color="#2a4a7a"/>'
            '<stop offset="0.55" stop-color="#0c1a33"/><stop offset="1" stop-color="#03070f"/></radialGradient>'
            '<radialGradient id="%s_in" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#3d7fd6"/>'
            '<stop offset="0.6" stop-color="#123a73"/><stop offset="1" stop-color="#081a36"/></radialGradient>'
            ) % (uid, ring, uid, uid)
    g = ('<circle cx="{cx}" cy="{cy}" r="{r0}" fill="url(#{u}_bez)"/>'
         '<circle cx="{cx}" cy="{cy}" r="{r1}" fill="#10141b"/>'
         '<circle cx="{cx}" cy="{cy}" r="{r2}" fill="url(#{u}_gl)"/>'
         '<circle cx="{cx}" cy="{cy}" r="{r3}" fill="none" stroke="#ffffff" stroke-opacity="0.12" stroke-width="{sw}"/>'
         '<circle cx="{cx}" cy="{cy}" r="{r4}" fill="url(#{u}_in)"/>'
         '<circle cx="{cx}" cy="{cy}" r="{r5}" fill="#02050a"/>'
         '<ellipse cx="{hx}" cy="{hy}" rx="{hrx}" ry="{hry}" fill="#ffffff" fill-opacity="0.55" transform="rotate(-35 {hx} {hy})"/>'
         '<circle cx="{gx}" cy="{gy}" r="{gr}" fill="#ffffff" fill-opacity="0.35"/>'
         ).format(cx=f(cx), cy=f(cy), u=uid, r0=f(r), r1=f(r * 0.86), r2=f(r * 0.8), r3=f(r * 0.62),
                  r4=f(r * 0.42), r5=f(r * 0.2), sw=f(max(0.8, r * 0.04)),
                  hx=f(cx - r * 0.32), hy=f(cy - r * 0.34), hrx=f(r * 0.2), hry=f(r * 0.1),
                  gx=f(cx + r * 0.3), gy=f(cy + r * 0.3), gr=f(r * 0.06))
    if accent:
        g = g.replace('fill="#10141b"/>', 'fill="#10141b"/><circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" '
                      'stroke-width="%s"/>' % (f(cx), f(cy), f(r * 0.83), accent, f(r * 0.05)), 1)
    return defs, g


def body_grad(uid, top, mid, bot, horizontal=False):
    x2, y2 = ("1", "0") if horizontal else ("0", "1")
    return ('<linearGradient id="%s" x1="0" y1="0" x2="%s" y2="%s"><stop offset="0" stop-color="%s"/>'
            '<stop offset="0.5" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            % (uid, x2, y2, top, mid, bot))


def shadow(uid, cx, cy, rx, ry, op=0.28):
    d = ('<radialGradient id="%s"><stop offset="0" stop-color="#000" stop-opacity="%s"/>'
         '<stop offset="1" stop-color="#000" stop-opacity="0"/></radialGradient>' % (uid, f(op)))
    return d, '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#%s)"/>' % (f(cx), f(cy), f(rx), f(ry), uid)


def camera_a(p):
    """A1 series: compact conference camera, wide box head on a short stand."""
    defs, sh = shadow(p + "sh", 112, 186, 80, 10)
    defs += body_grad(p + "hd", "#59616d", "#2f343c", "#1c2026")
    defs += body_grad(p + "fr", "#3a414b", "#22272e", "#15181d")
    defs += body_grad(p + "bs", "#e9edf1", "#b9c1ca", "#8c95a0")
    ld, lg = lens(112, 104, 31, p + "ln")
    defs += ld
    mic = ''.join('<circle cx="%s" cy="%s" r="1.9" fill="#0d1014"/>' % (f(x), f(y))
                  for x in (52, 59, 66) for y in (97, 104, 111))
    body = (sh +
            '<rect x="70" y="160" width="84" height="22" rx="10" fill="url(#%sbs)"/>'
            '<rect x="70" y="160" width="84" height="5" rx="2.5" fill="#ffffff" fill-opacity="0.5"/>'
            '<rect x="101" y="140" width="22" height="22" fill="#2a2f36"/>'
            '<rect x="101" y="140" width="5" height="22" fill="#ffffff" fill-opacity="0.12"/>'
            '<rect x="30" y="66" width="164" height="78" rx="22" fill="url(#%shd)"/>'
            '<rect x="36" y="72" width="152" height="66" rx="17" fill="url(#%sfr)"/>'
            '<path d="M52 72 H172 A17 17 0 0 1 186 80 H38 A17 17 0 0 1 52 72Z" fill="#ffffff" fill-opacity="0.08"/>'
            '%s%s'
            '<circle cx="164" cy="90" r="3.2" fill="#2bd46b"/><circle cx="164" cy="90" r="6" fill="#2bd46b" fill-opacity="0.25"/>'
            '<rect x="152" y="112" width="24" height="4" rx="2" fill="#ffffff" fill-opacity="0.18"/>'
            ) % (p, p, p, mic, lg)
    return defs, body


def ptz_camera(p, body_top, body_mid, body_bot, front_top, front_mid, front_bot, lens_ring,
               accent=None, badge=None, badge_fill="#ffffff", round_head=False, stripe=None, rim=None):
    """Classic PTZ camera: base, U-shaped yoke, head with a big lens."""
    defs, sh = shadow(p + "sh", 112, 200, 84, 10)
    defs += body_grad(p + "bd", body_top, body_mid, body_bot)
    defs += body_grad(p + "bh", body_bot, body_top, body_bot, horizontal=True)
    defs += body_grad(p + "fr", front_top, front_mid, front_bot)
    ld, lg = lens(112, 98, 34, p + "ln", ring=lens_ring, accent=accent)
    defs += ld
    rx = 44 if round_head else 24
    head = ('<rect x="62" y="46" width="100" height="104" rx="%d" fill="url(#%sfr)"/>' % (rx, p) +
            '<rect x="62" y="46" width="100" height="104" rx="%d" fill="none" stroke="#000" stroke-opacity="0.25"/>' % rx +
            '<path d="M%d 48 H%d A%d %d 0 0 1 %d 60 H%d A%d %d 0 0 1 %d 48Z" fill="#ffffff" fill-opacity="0.12"/>'
            % (62 + rx, 162 - rx, rx, rx, 162 - rx * 0.35, 62 + rx * 0.35, rx, rx, 62 + rx))
    yoke = ('<path d="M40 96 A12 12 0 0 1 52 84 H58 V158 H166 V84 H172 A12 12 0 0 1 184 96 V166 '
            'A12 12 0 0 1 172 178 H52 A12 12 0 0 1 40 166Z" fill="url(#%sbh)"/>' % p +
            '<path d="M40 96 A12 12 0 0 1 52 84 H58 V158 H166 V84 H172 A12 12 0 0 1 184 96 V166 '
            'A12 12 0 0 1 172 178 H52 A12 12 0 0 1 40 166Z" fill="none" stroke="#000" stroke-opacity="0.18"/>'
            '<circle cx="49" cy="104" r="7" fill="#000" fill-opacity="0.22"/><circle cx="175" cy="104" r="7" fill="#000" fill-opacity="0.22"/>'
            '<circle cx="49" cy="104" r="3.5" fill="#ffffff" fill-opacity="0.35"/><circle cx="175" cy="104" r="3.5" fill="#ffffff" fill-opacity="0.35"/>')
    base = ('<path d="M64 178 H160 L168 196 A6 6 0 0 1 162 202 H62 A6 6 0 0 1 56 196Z" fill="url(#%sbd)"/>' % p +
            '<path d="M64 178 H160 L162 182 H62Z" fill="#000" fill-opacity="0.2"/>')
    if rim:
        # Edge light so a dark body separates from a dark background.
        colour, op = rim
        edge = ' fill="none" stroke="%s" stroke-opacity="%s" stroke-width="1.5"' % (colour, f(op))
        yoke += ('<path d="M40 166 V96 A12 12 0 0 1 52 84 H58"%s/><path d="M166 84 H172 A12 12 0 0 1 184 96 V166"%s/>'
                 % (edge, edge))
        head += '<rect x="62.75" y="46.75" width="98.5" height="102.5" rx="%d"%s/>' % (rx, edge)
    if stripe:
        base += '<rect x="60" y="192" width="104" height="3" fill="%s"/>' % stripe
    extra = ''
    if badge:
        extra += ('<text x="112" y="141" font-family="%s" font-size="11" font-weight="bold" fill="%s" '
                  'text-anchor="middle" letter-spacing="1">%s</text>' % (FONT, badge_fill, badge))
    extra += '<circle cx="146" cy="62" r="2.6" fill="%s"/>' % ("#ff4a4a" if not accent else accent)
    return defs, sh + base + yoke + head + lg + extra


def camera_b(p):
    return ptz_camera(p, "#f1f3f6", "#c9d0d8", "#9aa3ad", "#3a414b", "#252a31", "#15181d", "#d9dee4",
                      badge="4K")


def camera_c(p, rim=("#9fb2c8", 0.35)):
    return ptz_camera(p, "#4a515b", "#262b32", "#121519", "#2a2f37", "#15181d", "#08090b", "#9aa6b4",
                      accent=ACCENT2, badge="8K", badge_fill="#7cc0ff", round_head=True, stripe=ACCENT2, rim=rim)


def camera_d(p):
    """D1 series: white education / streaming camera, pill head on a column, tally light."""
    defs, sh = shadow(p + "sh", 112, 194, 70, 9)
    defs += body_grad(p + "hd", "#ffffff", "#eef1f5", "#c5ccd5")
    defs += body_grad(p + "cl", "#c9d0d8", "#f5f7f9", "#c9d0d8", horizontal=True)
    defs += body_grad(p + "bs", "#fdfdfe", "#e4e8ee", "#b3bcc7")
    ld, lg = lens(112, 100, 30, p + "ln", ring="#dfe4ea")
    defs += ld
    body = (sh +
            '<ellipse cx="112" cy="184" rx="56" ry="12" fill="url(#%sbs)" stroke="#9aa4b0" stroke-width="1"/>'
            '<ellipse cx="112" cy="181" rx="48" ry="7" fill="#ffffff" fill-opacity="0.7"/>'
            '<rect x="101" y="136" width="22" height="46" rx="4" fill="url(#%scl)" stroke="#9aa4b0" stroke-width="1"/>'
            '<rect x="36" y="62" width="152" height="78" rx="39" fill="url(#%shd)" stroke="#8e99a6" stroke-width="1.2"/>'
            '<rect x="46" y="66" width="132" height="16" rx="8" fill="#ffffff" fill-opacity="0.8"/>'
            '<rect x="64" y="70" width="96" height="60" rx="30" fill="#1a1e25"/>'
            '<rect x="36" y="118" width="152" height="4" fill="%s" fill-opacity="0.9"/>'
            '%s'
            '<rect x="104" y="52" width="16" height="11" rx="4" fill="#e9edf1" stroke="#8e99a6"/>'
            '<circle cx="112" cy="57.5" r="3.2" fill="#ff3b3b"/><circle cx="112" cy="57.5" r="6" fill="#ff3b3b" fill-opacity="0.25"/>'
            '<circle cx="58" cy="101" r="3" fill="#9aa4b0"/><circle cx="166" cy="101" r="3" fill="#9aa4b0"/>'
            ) % (p, p, p, ACCENT2, lg)
    # The accent band passes behind the lens bezel: draw the lens over it.
    return defs, body


CAMERAS = {"A": camera_a, "B": camera_b, "C": camera_c, "D": camera_d}


def series_svg(letter):
    d, b = CAMERAS[letter]("s" + letter.lower())
    # Fill the frame: the drawings leave a margin that is wasted at 60 px.
    return svg(224, 224, '<g transform="translate(112 122) scale(1.12) translate(-112 -122)">%s</g>' % b,
               extra_defs=d)


# ---------------------------------------------------------------------------
# Device-list buttons (60x60), line art of each camera
# ---------------------------------------------------------------------------

def dev_camera_lines(base):
    """Front-view line art on a 60 grid; returns (outline paths, lens circles, details)."""
    if base == "a1":
        shape = ('<rect x="13" y="17" width="34" height="19" rx="6"/><path d="M27 36V40M33 36V40"/>'
                 '<rect x="19" y="40" width="22" height="5" rx="2.5"/>')
        lens_ = (30, 26.5, 6.2)
        detail = '<circle cx="41" cy="21.5" r="1.2" class="led"/>'
    elif base == "A1Max":
        shape = ('<rect x="8" y="15" width="44" height="22" rx="7"/><path d="M27 37V41M33 37V41"/>'
                 '<rect x="16" y="41" width="28" height="5" rx="2.5"/>')
        lens_ = (30, 26, 7.2)
        detail = ''.join('<circle cx="%s" cy="%s" r="0.9" class="dot"/>' % (x, y)
                         for x in (13.5, 16.5) for y in (23, 26, 29)) + \
            ''.join('<circle cx="%s" cy="%s" r="0.9" class="dot"/>' % (x, y)
                    for x in (43.5, 46.5) for y in (23, 26, 29))
    elif base == "b1":
        shape = ('<path d="M12 25V41A3 3 0 0 0 15 44H45A3 3 0 0 0 48 41V25"/>'
                 '<rect x="17" y="11" width="26" height="29" rx="6"/>'
                 '<path d="M21 44L19 48.5H41L39 44"/>')
        lens_ = (30, 25, 8.2)
        detail = '<circle cx="38.5" cy="15" r="1.1" class="led"/>'
    elif base == "C5":
        shape = ('<path d="M11 26V41A3.5 3.5 0 0 0 14.5 44.5H45.5A3.5 3.5 0 0 0 49 41V26"/>'
                 '<rect x="16.5" y="10" width="27" height="30" rx="12"/>'
                 '<path d="M20 44.5L18 49H42L40 44.5"/>')
        lens_ = (30, 25, 9)
        detail = '<path d="M14 46.8H46" class="thin"/>'
    elif base == "d1":
        shape = ('<rect x="10" y="17" width="40" height="20" rx="10"/>'
                 '<path d="M27.5 37V44M32.5 37V44"/><ellipse cx="30" cy="46" rx="12" ry="2.8"/>'
                 '<rect x="27" y="12.5" width="6" height="4.5" rx="1.5"/>')
        lens_ = (30, 27, 6.4)
        detail = '<circle cx="30" cy="14.7" r="1" class="tally"/>'
    else:  # default: generic camera with a question mark
        shape = ('<rect x="12" y="16" width="36" height="22" rx="6"/><path d="M27 38V41M33 38V41"/>'
                 '<rect x="19" y="41" width="22" height="5" rx="2.5"/>')
        lens_ = (30, 27, 7.4)
        detail = ('<path d="M27.6 25.2A2.5 2.5 0 1 1 31.2 27.4C30.3 27.9 30 28.4 30 29.4" class="q"/>'
                  '<circle cx="30" cy="31.9" r="0.9" class="qd"/>')
    return shape, lens_, detail


def device_button(base, on):
    shape, (lx, ly, lr), detail = dev_camera_lines(base)
    if on:
        stroke, lensfill, tile, border = "#4fb0ff", "#0b2c52", "#0f2238", ACCENT2
        led, glass = "#7fd0ff", "#1e90ff"
    else:
        stroke, lensfill, tile, border = "#8d95a1", "#171b22", "#181b23", "#2c313a"
        led, glass = "#6b737e", "#3a414b"
    tally = "#ff4d4d" if on else "#6b737e"
    defs = ''
    glow = ''
    if on:
        defs = ('<radialGradient id="gl" cx="0.5" cy="0.45" r="0.6"><stop offset="0" stop-color="%s" stop-opacity="0.45"/>'
                '<stop offset="1" stop-color="%s" stop-opacity="0"/></radialGradient>' % (ACCENT2, ACCENT2))
        glow = '<rect x="1" y="1" width="58" height="58" rx="12" fill="url(#gl)"/>'
    css = ('<style>.led{fill:%s;stroke:none}.dot{fill:%s;stroke:none}.tally{fill:%s;stroke:none}'
           '.thin{stroke-width:1.2}.q{stroke:%s;stroke-width:1.6}.qd{fill:%s;stroke:none}</style>'
           % (led, stroke, tally, "#ffffff" if on else "#c3c9d1", "#ffffff" if on else "#c3c9d1"))
    body = ('<rect x="1" y="1" width="58" height="58" rx="12" fill="%s" stroke="%s" stroke-width="%s"/>%s'
            '<g fill="%s" fill-opacity="%s" stroke="%s" stroke-width="2" stroke-linecap="round" stroke-linejoin="round">%s</g>'
            '<g stroke="%s" stroke-width="2"><circle cx="%s" cy="%s" r="%s" fill="%s"/></g>'
            '<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
            '<circle cx="%s" cy="%s" r="%s" fill="#ffffff" fill-opacity="%s"/>'
            '<g fill="none" stroke="%s" stroke-width="2" stroke-linecap="round">%s</g>'
            ) % (tile, border, "1.5" if on else "1", glow,
                 "#1e90ff" if on else "#ffffff", "0.16" if on else "0.03", stroke, shape,
                 stroke, f(lx), f(ly), f(lr), lensfill,
                 f(lx), f(ly), f(lr * 0.45), glass,
                 f(lx - lr * 0.35), f(ly - lr * 0.35), f(max(0.9, lr * 0.14)), "0.85" if on else "0.35",
                 stroke, detail)
    if base == "default":
        # The question mark replaces the lens pupil.
        body = body.replace('<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (f(lx), f(ly), f(lr * 0.45), glass), '', 1)
        body = body.replace('fill-opacity="%s"/>' % ("0.85" if on else "0.35"), 'fill-opacity="0"/>', 1)
    # Enlarge the camera art inside the tile (the tile itself stays put).
    cut = body.index('<g fill=')
    body = body[:cut] + '<g transform="translate(30 30) scale(1.12) translate(-30 -30.6)">' + body[cut:] + '</g>'
    return svg(60, 60, body, extra_defs=defs + css)


DEVICE_BASES = ["a1", "b1", "C5", "A1Max", "d1", "default"]


# ---------------------------------------------------------------------------
# Large backgrounds
# ---------------------------------------------------------------------------

def placed(fn, prefix, x, y, scale, opacity=None):
    d, b = fn(prefix)
    op = ' opacity="%s"' % f(opacity) if opacity is not None else ''
    return d, '<g transform="translate(%s %s) scale(%s)"%s>%s</g>' % (f(x), f(y), f(scale), op, b)


# The texts drawn into the pictures, per language of the user interface. The English
# pictures are written as NAME_en and chosen by the resource system for English.
TEXTS = {
    "zh": {
        "tagline": ("智能云台摄像机控制工具", 4),
        "features": ("云台控制  ·  画质调节  ·  AI 人像追焦", 2),
        "missing": ("未检测到 %s系列 摄像机", 25),
        "check": "请按以下步骤检查设备连接：",
        "steps": ["确认 USB 数据线两端已插牢", "确认摄像机已接通电源并开机", "尝试更换电脑上的其他 USB 接口"],
        "waiting": "设备连接后，软件将自动识别并打开",
        "back": "点击左上角返回按钮，可重新选择设备系列",
        "ptz": "云台控制",
        "ptz_parts": "变焦 · 预置位 · 聚焦",
    },
    "en": {
        "tagline": ("Smart PTZ camera control", 2),
        "features": ("PTZ  ·  Picture  ·  AI portrait focus", 1),
        "missing": ("No %s series camera found", 20),
        "check": "Please check the connection:",
        "steps": ["Plug the USB cable in firmly", "Switch the camera on", "Try another USB port"],
        "waiting": "Opens by itself once connected",
        "back": "Click the arrow at the top left to choose another series",
        "ptz": "PTZ control",
        "ptz_parts": "Zoom · Presets · Focus",
    },
}


def boot_svg(lang="zh"):
    W, H = 400, 800
    ldefs, logo = logo_group("bl")
    cdefs, cam = placed(lambda p: camera_c(p, rim=("#5cb4ff", 0.7)), "bc", 200 - 112 * 1.45, 290, 1.45)
    defs = ldefs + cdefs + (
        '<linearGradient id="bg" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#0b0e16"/><stop offset="0.45" stop-color="#111829"/>'
        '<stop offset="0.8" stop-color="#0c1019"/><stop offset="1" stop-color="#090b11"/></linearGradient>'
        '<radialGradient id="glow" cx="200" cy="440" r="230" gradientUnits="userSpaceOnUse">'
        '<stop offset="0" stop-color="#1e90ff" stop-opacity="0.34"/><stop offset="0.5" stop-color="#1e90ff" stop-opacity="0.1"/>'
        '<stop offset="1" stop-color="#1e90ff" stop-opacity="0"/></radialGradient>'
        '<radialGradient id="top" cx="200" cy="0" r="320" gradientUnits="userSpaceOnUse">'
        '<stop offset="0" stop-color="#2a5aa0" stop-opacity="0.28"/><stop offset="1" stop-color="#2a5aa0" stop-opacity="0"/></radialGradient>'
        '<linearGradient id="floor" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#1e90ff" stop-opacity="0"/>'
        '<stop offset="0.5" stop-color="#5cb4ff" stop-opacity="0.8"/><stop offset="1" stop-color="#1e90ff" stop-opacity="0"/></linearGradient>')
    rings = ''.join('<circle cx="200" cy="440" r="%d" fill="none" stroke="#4aa3ff" stroke-opacity="%s" stroke-width="1"%s/>'
                    % (r, f(op), dash) for r, op, dash in
                    ((118, 0.22, ''), (150, 0.14, ' stroke-dasharray="2 6"'), (186, 0.09, ''), (228, 0.05, ' stroke-dasharray="1 5"')))
    # Scan arcs suggesting pan / tilt motion.
    def arc(a0, a1, r=186):
        p0 = (200 + r * math.cos(math.radians(a0)), 440 + r * math.sin(math.radians(a0)))
        p1 = (200 + r * math.cos(math.radians(a1)), 440 + r * math.sin(math.radians(a1)))
        return ('<path d="M%s %s A%d %d 0 0 1 %s %s" fill="none" stroke="#5cb4ff" stroke-width="2" '
                'stroke-linecap="round" stroke-opacity="0.75"/>' % (f(p0[0]), f(p0[1]), r, r, f(p1[0]), f(p1[1])))
    arcs = arc(200, 235) + arc(20, 55)
    dots = ''.join('<circle cx="%s" cy="%s" r="%s" fill="#8cc8ff" fill-opacity="%s"/>' % (f(x), f(y), f(r), f(o))
                   for x, y, r, o in ((62, 300, 1.4, 0.5), (338, 352, 1.2, 0.45), (88, 560, 1.0, 0.35),
                                      (322, 258, 1.0, 0.4), (44, 470, 1.2, 0.3), (356, 520, 1.4, 0.35)))
    body = ('<rect width="%d" height="%d" fill="url(#bg)"/><rect width="%d" height="%d" fill="url(#top)"/>' % (W, H, W, H) +
            '<rect width="%d" height="%d" fill="url(#glow)"/>' % (W, H) + rings + arcs + dots +
            '<g transform="translate(168 92) scale(0.25)">%s</g>' % logo +
            '<text x="200" y="196" font-family="%s" font-size="40" font-weight="bold" fill="#ffffff" '
            'text-anchor="middle" letter-spacing="3">Kestrane</text>' % FONT +
            '<text x="200" y="230" font-family="%s" font-size="16" fill="#a9bbd3" text-anchor="middle" '
            'letter-spacing="%d">%s</text>' % ((FONT, TEXTS[lang]["tagline"][1], TEXTS[lang]["tagline"][0])) +
            '<rect x="176" y="248" width="48" height="2" rx="1" fill="#1e90ff"/>' +
            cam +
            '<rect x="60" y="584" width="280" height="1.5" fill="url(#floor)"/>' +
            '<text x="200" y="614" font-family="%s" font-size="12.5" fill="#7f8ea3" text-anchor="middle" '
            'letter-spacing="%d">%s</text>' % (FONT, TEXTS[lang]["features"][1], TEXTS[lang]["features"][0]))
    return svg(W, H, body, extra_defs=defs)


def light_page_defs():
    return ('<radialGradient id="pg" cx="300" cy="185" r="360" gradientUnits="userSpaceOnUse">'
            '<stop offset="0" stop-color="#ffffff"/><stop offset="0.45" stop-color="#f1f5fa"/>'
            '<stop offset="1" stop-color="#cfd9e6"/></radialGradient>'
            '<linearGradient id="hd" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#161b26"/>'
            '<stop offset="1" stop-color="#10121a"/></linearGradient>'
            '<linearGradient id="hl" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#1e90ff" stop-opacity="0"/>'
            '<stop offset="0.5" stop-color="#1e90ff" stop-opacity="0.9"/><stop offset="1" stop-color="#1e90ff" stop-opacity="0"/></linearGradient>')


def light_page_body(W=600, H=405, top_dots=True):
    waves = ('<path d="M0 360 C120 330 220 390 340 370 C450 352 520 330 600 344 V405 H0Z" fill="#1e90ff" fill-opacity="0.06"/>'
             '<path d="M0 384 C140 360 260 404 380 390 C480 378 540 366 600 372 V405 H0Z" fill="#1e90ff" fill-opacity="0.07"/>')
    grid = ''.join('<circle cx="%d" cy="%d" r="1.1" fill="#0c2442" fill-opacity="0.07"/>' % (x, y)
                   for x in range(560, 600, 10) for y in range(60, 110, 10)) if top_dots else ''
    grid += ''.join('<circle cx="%d" cy="%d" r="1.1" fill="#0c2442" fill-opacity="0.07"/>' % (x, y)
                    for x in range(10, 50, 10) for y in range(290, 340, 10))
    return ('<rect width="%d" height="%d" fill="url(#pg)"/>' % (W, H) + waves + grid +
            '<rect width="%d" height="40" fill="url(#hd)"/>' % W +
            '<rect y="39" width="%d" height="1.5" fill="url(#hl)"/>' % W)


def selection_svg():
    body = light_page_body() + (
        '<text x="300" y="25.5" font-family="%s" font-size="13" fill="#8c96a6" text-anchor="middle" '
        'letter-spacing="2">Kestrane</text>' % FONT)
    return svg(600, 405, body, extra_defs=light_page_defs())


def unselected_svg(letter, lang="zh"):
    texts = TEXTS[lang]
    cdefs, cam = placed(CAMERAS[letter], "u" + letter.lower(), 140 - 112 * 0.78, 80, 0.78)
    badge = ('<g transform="translate(196 222)">'
             '<circle r="19" fill="#ffffff"/><circle r="16" fill="#f0523f"/>'
             '<g fill="none" stroke="#ffffff" stroke-width="2.4" stroke-linecap="round">'
             '<path d="M-6 -6L6 6M6 -6L-6 6"/></g></g>')
    steps = texts["steps"]
    items = ''
    y0 = 176
    for i, s in enumerate(steps):
        y = y0 + i * 40
        items += ('<circle cx="302" cy="%d" r="11" fill="%s"/>'
                  '<text x="302" y="%d" font-family="%s" font-size="13" font-weight="bold" fill="#ffffff" '
                  'text-anchor="middle">%d</text>'
                  '<text x="324" y="%d" font-family="%s" font-size="15" fill="#2b3a4d">%s</text>'
                  % (y, ACCENT, y + 4.6, FONT, i + 1, y + 5.5, FONT, s))
    spinner = ('<g transform="translate(302 310)"><circle r="8" fill="none" stroke="#1b89ef" stroke-opacity="0.25" stroke-width="2.4"/>'
               '<path d="M0 -8A8 8 0 0 1 8 0" fill="none" stroke="#1b89ef" stroke-width="2.4" stroke-linecap="round"/></g>')
    text = ('<text x="288" y="104" font-family="%s" font-size="%d" font-weight="bold" fill="%s">%s</text>'
            '<text x="289" y="136" font-family="%s" font-size="14" fill="#5b6879">%s</text>'
            % (FONT, texts["missing"][1], NAVY, texts["missing"][0] % letter, FONT, texts["check"]) + items + spinner +
            '<text x="320" y="315" font-family="%s" font-size="14" fill="#1b89ef">%s</text>' % (FONT, texts["waiting"]) +
            '<text x="300" y="382" font-family="%s" font-size="12" fill="#8490a0" text-anchor="middle">'
            '%s</text>' % (FONT, texts["back"]))
    cam_backdrop = ('<circle cx="140" cy="168" r="96" fill="#ffffff" fill-opacity="0.55"/>'
                    '<circle cx="140" cy="168" r="96" fill="none" stroke="#0c2442" stroke-opacity="0.08" stroke-dasharray="3 5"/>')
    body = light_page_body(top_dots=False) + cam_backdrop + '<g opacity="0.92">%s</g>' % cam + badge + \
        '<rect x="268" y="80" width="1.2" height="250" fill="#0c2442" fill-opacity="0.1"/>' + text
    return svg(600, 405, body, extra_defs=light_page_defs() + cdefs)


def ptz_background_svg(lang="zh"):
    defs = ('<linearGradient id="pb" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#2b3038"/>'
            '<stop offset="1" stop-color="#1d2026"/></linearGradient>'
            '<linearGradient id="pl" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#1e90ff" stop-opacity="0.8"/>'
            '<stop offset="1" stop-color="#1e90ff" stop-opacity="0"/></linearGradient>')
    glyph = '<g transform="translate(15 11) scale(0.75)">%s</g>' % ptz_glyph(ACCENT2, fill_centre=True, sw=2.2)
    body = ('<rect x="0.5" y="0.5" width="359" height="99" rx="12" fill="url(#pb)" stroke="#ffffff" stroke-opacity="0.08"/>'
            + glyph +
            '<text x="40" y="26.5" font-family="%s" font-size="13" font-weight="bold" fill="#dfe4ea">%s</text>'
            % (FONT, TEXTS[lang]["ptz"]) +
            '<text x="345" y="26" font-family="%s" font-size="11" fill="#6f7884" text-anchor="end">%s</text>'
            % (FONT, TEXTS[lang]["ptz_parts"]) +
            '<rect x="15" y="36" width="150" height="1.2" fill="url(#pl)"/>'
            '<rect x="8" y="44" width="344" height="50" rx="9" fill="#000000" fill-opacity="0.18"/>')
    return svg(360, 100, body, extra_defs=defs)


# ---------------------------------------------------------------------------
# 24-point colour table pictures (330x110)
# ---------------------------------------------------------------------------

HSV_W, HSV_H = 330, 110
HUE_SPAN = 345.0      # point i (hue 15*i) sits at x = W*i/23
HUE_SHIFT_TOP = 30.0  # degrees of hue shown at the top (+64) and bottom (-64) edges


def guides(neutral_y):
    g = ''.join('<rect x="%s" y="0" width="1" height="%d" fill="#000" fill-opacity="0.10"/>'
                % (f(min(HSV_W - 1, max(0, HSV_W * i / 23.0 - 0.5))), HSV_H) for i in range(24))
    g += ('<path d="M0 %s H%d" stroke="#ffffff" stroke-opacity="0.75" stroke-width="1" stroke-dasharray="4 3"/>'
          % (f(neutral_y), HSV_W))
    return g


def hue_stops(n=24, s=0.9, v=0.95):
    return ''.join('<stop offset="%s" stop-color="%s"/>' % (f(i / n), hsv_hex(360.0 * i / n, s, v)) for i in range(n + 1))


def hsv_hue_svg():
    # Colour at (x, y) is hue(x) + shift(y): constant along parallel lines, so one repeating
    # linear gradient covers the whole picture.
    a = HUE_SPAN / HSV_W                     # degrees per pixel along x
    b = -2.0 * HUE_SHIFT_TOP / HSV_H         # degrees per pixel along y
    g2 = a * a + b * b
    x1, y1 = 0.0, HSV_H / 2.0                # hue 0 at the left edge, neutral row
    x2, y2 = x1 + a / g2 * 360.0, y1 + b / g2 * 360.0
    defs = ('<linearGradient id="h" gradientUnits="userSpaceOnUse" spreadMethod="repeat" '
            'x1="%s" y1="%s" x2="%s" y2="%s">%s</linearGradient>'
            '<linearGradient id="sh" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#000" stop-opacity="0.12"/>'
            '<stop offset="0.5" stop-color="#000" stop-opacity="0"/><stop offset="1" stop-color="#000" stop-opacity="0.12"/>'
            '</linearGradient>' % (f(x1), f(y1), f(x2), f(y2), hue_stops(48)))
    body = ('<rect width="%d" height="%d" fill="url(#h)"/><rect width="%d" height="%d" fill="url(#sh)"/>'
            % (HSV_W, HSV_H, HSV_W, HSV_H)) + guides(HSV_H / 2.0)
    return svg(HSV_W, HSV_H, body, extra_defs=defs)


def hsv_sta_svg():
    # Hue along x, saturation along y: full colour at the top (255), grey at the bottom (0).
    n = 46
    stops = ''.join('<stop offset="%s" stop-color="%s"/>' % (f(i / n), hsv_hex(HUE_SPAN * i / n, 0.95, 0.95))
                    for i in range(n + 1))
    neutral = HSV_H * (1 - 64 / 255.0)
    t = neutral / HSV_H
    defs = ('<linearGradient id="h" x1="0" y1="0" x2="1" y2="0">%s</linearGradient>'
            '<linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#8f8f8f" stop-opacity="0"/>'
            '<stop offset="%s" stop-color="#8f8f8f" stop-opacity="0.45"/>'
            '<stop offset="1" stop-color="#8f8f8f" stop-opacity="1"/></linearGradient>' % (stops, f(t)))
    body = ('<rect width="%d" height="%d" fill="url(#h)"/><rect width="%d" height="%d" fill="url(#g)"/>'
            % (HSV_W, HSV_H, HSV_W, HSV_H)) + guides(neutral)
    return svg(HSV_W, HSV_H, body, extra_defs=defs)


# ---------------------------------------------------------------------------

def all_svgs():
    out = {
        "minimize": icon_minimize(),
        "close": icon_close(),
        "return": icon_return(),
        "ptz": icon_ptz(False),
        "ptz_on": icon_ptz(True),
        "collapse": icon_preview(False),
        "expand": icon_preview(True),
        "up": icon_arrow("up"),
        "down": icon_arrow("down"),
        "left": icon_arrow("left"),
        "right": icon_arrow("right"),
        "home": icon_home(),
        "add": icon_add(),
        "delete": icon_delete(),
        "rename": icon_rename(),
        "replace": icon_replace(),
        "switch_on": icon_switch(True),
        "switch_off": icon_switch(False),
        "image": icon_image(),
        "exposure": icon_exposure(),
        "focus": icon_focus(),
        "color": icon_color(),
        "palette": icon_palette(),
        "setting": icon_setting(),
        "color_picker": icon_color_picker(),
        "reset_hsv": icon_reset(),
        "Enlarge": icon_enlarge(),
        "lens-change": icon_lens_change(),
        "PTZ_background": ptz_background_svg(),
        "HSV_Hue": hsv_hue_svg(),
        "HSV_Sta": hsv_sta_svg(),
        "boot_kestrane": boot_svg(),
        "deviceselection": selection_svg(),
        "qv_logo": logo_svg(),
        "PTZ_background_en": ptz_background_svg("en"),
        "boot_kestrane_en": boot_svg("en"),
    }
    for letter in "ABCD":
        out["Series_" + letter] = series_svg(letter)
        out["Unselected_Series_" + letter] = unselected_svg(letter)
        out["Unselected_Series_%s_en" % letter] = unselected_svg(letter, "en")
    for base in DEVICE_BASES:
        out[base + "_on"] = device_button(base, True)
        out[base + "_off"] = device_button(base, False)
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "icons", "src")
    os.makedirs(outdir, exist_ok=True)
    for name, text in sorted(all_svgs().items()):
        with open(os.path.join(outdir, name + ".svg"), "w", encoding="utf-8", newline="\n") as fh:
            fh.write(text)


if __name__ == "__main__":
    main()
