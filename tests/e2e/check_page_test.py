#!/usr/bin/env python3
"""The page of "devhost --check --html" as a browser shows it.

Replies with markup are shown as text, an unwritable page is an error, and in headless Chromium the /rules line of the example
server has the sRGB colour of its linear [1, 0.5, 0, 1] on the page's background.
Usage: check_page_test.py DEVHOST_PROGRAM EXAMPLES_DIR DEPS_SCRIPT   (exit 77: skipped)
"""
import html.parser
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib
from collections import Counter
from pathlib import Path

devhost, examples, deps = sys.argv[1:4]
work = Path(tempfile.mkdtemp(prefix="quorvane-page-"))


def fail(message):
    print(f"check page test: {message}", file=sys.stderr)
    sys.exit(1)


def write_page(server_dir, page):
    run = subprocess.run([devhost, "--check", "--server-dir", str(server_dir), "--html", str(page)],
                         capture_output=True, text=True, timeout=60)
    if run.returncode not in (0, 1) or not page.exists():
        fail(f"devhost --check --html exited {run.returncode}: {run.stderr}")
    return page.read_text(encoding="utf-8")


class Page(html.parser.HTMLParser):
    def __init__(self, text):
        super().__init__()
        self.tags, self.text = [], []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs)))

    def handle_data(self, data):
        self.text.append(data)


def srgb(linear):
    value = min(max(linear, 0.0), 1.0)
    encoded = value * 12.92 if value <= 0.0031308 else 1.055 * value ** (1 / 2.4) - 0.055
    return round(encoded * 255)


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def read_png(path):
    """8-bit RGB or RGBA, not interlaced: what Chromium writes. Returns rows of (r, g, b)."""
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is not a PNG")
    offset, idat = 8, b""
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        body = data[offset + 8:offset + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour_type not in (2, 6) or interlace:
                fail(f"{path}: unsupported PNG (depth {depth}, colour type {colour_type})")
            step = 3 if colour_type == 2 else 4
        elif kind == b"IDAT":
            idat += body
        offset += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * step, [], bytearray(width * step)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        previous = line
    return rows


# Markup in replies and commands is text, and the page needs nothing from outside.
server = work / "markup"
(server / "ArkApi/Plugins/Quorvane").mkdir(parents=True)
(server / "ArkApi/Plugins/Quorvane/config.json").write_text(json.dumps({"ChatCommands": [
    {"Command": "/bold", "Type": "ClientChat", "Reply": "<b>x</b>"},
    {"Command": "/<i>", "Type": "ServerChat", "Reply": "<script>alert(1)</script>",
     "Color": [1, 1, 1, 1]}]}))
markup = write_page(server, work / "markup.html")
parsed = Page(markup)
text = "".join(parsed.text)
for shown in ("<b>x</b>", "<script>alert(1)</script>", "/<i>"):
    if shown not in text:
        fail(f"the page does not show {shown!r} as text")
unwanted = {tag for tag, _ in parsed.tags} & {"b", "i", "script", "link", "img", "iframe"}
if unwanted:
    fail(f"the page holds elements it should not: {sorted(unwanted)}")
if re.search(r"url\(|@import|https?:", markup):
    fail("the page refers to something outside itself")

# A page that cannot be written is said so, before any check runs.
nowhere = work / "missing" / "page.html"
run = subprocess.run([devhost, "--check", "--server-dir", str(server), "--html", str(nowhere)],
                     capture_output=True, text=True, timeout=60)
if run.returncode != 6 or str(nowhere) not in run.stderr or run.stdout:
    fail(f"an unwritable page gave exit {run.returncode}, {run.stderr!r}, {run.stdout!r}")

# Chromium: Debian's package, through the project's dependency script when missing.
chromium = shutil.which("chromium") or shutil.which("chromium-browser")
if not chromium:
    can_install = os.geteuid() == 0 or subprocess.run(
        ["sudo", "-n", "true"], stdin=subprocess.DEVNULL, capture_output=True).returncode == 0
    if not can_install:
        print("check page test: skipped: Chromium is not installed and installing it needs root")
        sys.exit(77)
    install = subprocess.run([deps, "chromium"], stdin=subprocess.DEVNULL, capture_output=True,
                             text=True)
    chromium = shutil.which("chromium")
    if install.returncode != 0 or not chromium:
        print(f"check page test: skipped: Chromium could not be installed: {install.stderr.strip()}")
        sys.exit(77)


def screenshot(page, png):
    profile = tempfile.mkdtemp(dir=work)
    subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                    "--no-first-run", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                    "--force-device-scale-factor=1", "--force-color-profile=srgb",
                    f"--user-data-dir={profile}", f"--screenshot={png}", "--window-size=900,400",
                    page.as_uri()], capture_output=True, timeout=120)
    if not png.exists():
        fail(f"Chromium made no screenshot of {page}")
    return read_png(png)


# The /rules line's text pixels are those that change when only that text is made transparent.
page = work / "server.html"
source = write_page(Path(examples) / "server", page)
hidden = work / "hidden.html"
hidden.write_text(source.replace("</style>",
                                 "#entry-0 .chat { color: transparent !important; }</style>"),
                  encoding="utf-8")
shown, blank = screenshot(page, work / "server.png"), screenshot(hidden, work / "hidden.png")
changed = [(x, y) for y, row in enumerate(shown) for x, pixel in enumerate(row)
           if pixel != blank[y][x]]
if len(changed) < 50:
    fail(f"the /rules line has {len(changed)} text pixels on the screenshot")
text_colour, count = Counter(shown[y][x] for x, y in changed).most_common(1)[0]
expected = (srgb(1.0), srgb(0.5), srgb(0.0))
if any(abs(a - b) > 2 for a, b in zip(text_colour, expected)):
    fail(f"the /rules text is {text_colour} ({count} pixels), not {expected} within 2")

# Beside the text lies the game screen's background, and around it the page's.
screen = hex_colour(re.search(r"\.screen \{ background: (#[0-9a-f]{6})", source).group(1))
body = hex_colour(re.search(r"body \{[^}]*background: (#[0-9a-f]{6})", source).group(1))
right = max(x for x, _ in changed) + 10
middle = (min(y for _, y in changed) + max(y for _, y in changed)) // 2
if shown[middle][right] != screen:
    fail(f"beside the /rules text the pixel is {shown[middle][right]}, not the screen's {screen}")
if shown[2][2] != body:
    fail(f"the page's corner is {shown[2][2]}, not its background {body}")

shutil.rmtree(work)
print(f"check page test: /rules text is {text_colour} over {count} pixels; markup shown as text")
