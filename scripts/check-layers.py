#!/usr/bin/env python3
"""The layers of src/, checked on every test run.

1. Logic code includes no QtWidgets header and no window: only window files may.
2. Each folder includes only the folders beneath it (the table below), so no two folders
   include each other.

Usage: check-layers.py SRC_DIR QTWIDGETS_INCLUDE_DIR
Prints every breach with its file and line, and exits 1 when there is one.
"""
import pathlib
import re
import sys

# Who may include whom. A folder not listed may include nothing but itself.
MAY_INCLUDE = {
    "common": set(),
    "platform": {"common"},
    "settings": {"common"},
    "station": {"common"},
    "widgets": {"common"},
    "cat": {"common", "platform", "station"},
    "link": {"common", "platform", "station"},
    "keyer": {"common", "platform", "station"},
    "endpoints": {"common", "platform"},
    "chat": {"common", "platform", "settings", "station", "widgets"},
    "digital": {"common", "platform", "widgets"},
    "app": {"common", "platform", "settings", "station", "widgets", "cat", "link", "keyer",
            "endpoints", "chat", "digital"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def is_window(path: pathlib.Path, src: pathlib.Path) -> bool:
    """Window files lay out widgets: the widgets and platform/gui folders, digital/windows,
    the program's main, every XWindow file and the XWindowSomething files beside it."""
    relative = path.relative_to(src).as_posix()
    if relative.startswith(("widgets/", "platform/gui/", "digital/windows/")) or relative == "main.cpp":
        return True
    window = re.match(r"(.+Window)", path.stem)
    return bool(window) and (path.parent / (window.group(1) + ".h")).exists()


def folder_of(relative: str) -> str:
    return relative.split("/", 1)[0] if "/" in relative else ""


def check(src: pathlib.Path, widget_headers: set) -> list:
    breaches = []
    sources = [p for p in src.rglob("*") if p.suffix in (".h", ".cpp")]
    windows = {p.relative_to(src).as_posix() for p in sources if is_window(p, src)}
    for path in sources:
        relative = path.relative_to(src).as_posix()
        own = folder_of(relative)
        window = relative in windows
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, name = match.groups()
            where = f"{relative}:{number}: {line.strip()}"
            if bracket == "<":
                header = name.split("/")[-1]
                if not window and (name.startswith("QtWidgets/") or header in widget_headers):
                    breaches.append(f"{where}: a widget header in logic code")
                continue
            target = name if "/" in name else (path.parent.relative_to(src) / name).as_posix()
            if not window and (target in windows or target.startswith("widgets/")):
                breaches.append(f"{where}: logic code includes a window")
            other = folder_of(target)
            if other and own and other != own and other not in MAY_INCLUDE.get(own, set()):
                breaches.append(f"{where}: {own}/ may not include {other}/")
    return breaches


def main() -> int:
    src, widgets = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    widget_headers = {p.name for p in widgets.iterdir() if p.name.startswith("Q") and "." not in p.name}
    if not widget_headers:
        print(f"no QtWidgets headers found in {widgets}")
        return 1
    breaches = check(src, widget_headers)
    for breach in breaches:
        print(breach)
    print(f"{len(breaches)} breaches of the layers")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
