"""Fixtures for testing firmware against the headless panel.

`demo_workdir` writes the demo work directory once per session (samples/make_demo_workdir.py
with the native tools of the build directory); `panel` is a fresh headless panel with the demo
design open; `snapshot_dir` is where tests save their PNGs ($ORP_SNAPSHOT_DIR, else a
temporary directory).

The build directory is $ORP_BUILD_DIR, else build/ below the repository.
"""

import os
import subprocess
import sys

import pytest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("ORP_BUILD_DIR", os.path.join(ROOT, "build"))
sys.path.insert(0, os.path.join(ROOT, "python"))
os.environ.setdefault("ORPPANEL_HEADLESS_LIB", os.path.join(BUILD, "lib", "liborppanel-headless.so"))

from orppanel_headless import HeadlessPanel  # noqa: E402


@pytest.fixture(scope="session")
def demo_workdir(tmp_path_factory):
    workdir = tmp_path_factory.mktemp("demo")
    subprocess.run(
        [sys.executable, os.path.join(ROOT, "samples", "make_demo_workdir.py"), str(workdir),
         "--designtool", os.path.join(BUILD, "tools", "orp-designtool"),
         "--lcdtool", os.path.join(BUILD, "tools", "orp-lcdtool")],
        check=True, stdout=subprocess.DEVNULL)
    return workdir


@pytest.fixture
def panel(demo_workdir):
    with HeadlessPanel() as p:
        p.load_design(demo_workdir / "ORPDesigns" / "demo.orp")
        yield p


@pytest.fixture
def snapshot_dir(tmp_path):
    folder = os.environ.get("ORP_SNAPSHOT_DIR")
    if not folder:
        return tmp_path
    os.makedirs(folder, exist_ok=True)
    return folder
