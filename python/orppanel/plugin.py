"""The pytest plugin of the headless panel (registered as "orppanel" through pytest11).

Fixtures: `panel` (a fresh panel with the test's design), `panel_factory` (more panels in one
test), `host` (the host side of `panel`, its reset announcement answered), `lcd_snapshot` and
`panel_snapshot` (compare a picture with a golden PNG beside the test).

The design: the marker @pytest.mark.orppanel_design("path.orp") (relative to the test file),
else --orppanel-design (relative to the current folder), else the ini value orppanel_design
(relative to the ini file's folder); "demo" / "demo-de" name the demo designs that come with
the package. Without any, the panel has no design (no keys, LEDs or LCD).

Golden pictures live in snapshots/<test module>/ beside the test file, named after the test
(<test>.lcd.png, <test>.panel.png, or <test>.<name>.png with a name). A difference fails with
the number of differing pixels and leaves actual, expected and diff pictures in the test's
tmp_path; --orppanel-update-snapshots writes the golden pictures instead.
"""

import os
import re

import pytest

_DEMO = {"demo": "en", "demo-de": "de"}
_UPDATED = "orppanel_snapshots_written"


def pytest_addoption(parser):
    group = parser.getgroup("orppanel", "ORPpanel headless panel")
    group.addoption("--orppanel-design", metavar="PATH", default=None,
                    help="design file the panel fixture opens ('demo' for the demo design)")
    group.addoption("--orppanel-update-snapshots", action="store_true", default=False,
                    help="write the golden pictures of lcd_snapshot / panel_snapshot instead of comparing")
    parser.addini("orppanel_design", "design file the panel fixture opens, relative to the ini file "
                  "('demo' for the demo design)", default="")


def pytest_configure(config):
    config.addinivalue_line("markers", "orppanel_design(path): the design file the panel fixture opens for this "
                                       "test (relative to the test file; 'demo' for the demo design)")
    setattr(config, _UPDATED, [])


def pytest_terminal_summary(terminalreporter, config):
    written = getattr(config, _UPDATED, [])
    if written:
        terminalreporter.write_sep("-", "orppanel: %d golden picture%s written" % (len(written), "s" * (len(written) != 1)))
        for path in written:
            terminalreporter.write_line(path)


def _test_file(node):
    return str(getattr(node, "path", None) or node.fspath)


def _resolve(value, base):
    if value in _DEMO:
        import orppanel
        return orppanel.demo_design(_DEMO[value])
    return value if os.path.isabs(value) else os.path.join(base, value)


def _design_of(request):
    marker = request.node.get_closest_marker("orppanel_design")
    if marker is not None:
        return _resolve(os.fspath(marker.args[0]), os.path.dirname(_test_file(request.node)))
    option = request.config.getoption("orppanel_design")
    if option:
        return _resolve(option, str(request.config.invocation_params.dir))
    ini = request.config.getini("orppanel_design")
    if ini:
        base = os.path.dirname(str(request.config.inipath)) if request.config.inipath else str(request.config.rootpath)
        return _resolve(ini, base)
    return None


@pytest.fixture
def panel_factory(request):
    """Makes independent headless panels for one test: panel_factory(design=..., resolution=dpi).
    The design defaults to the test's (marker, --orppanel-design, ini orppanel_design); pass
    design=None for a panel without one. Every panel made is closed after the test."""
    from orppanel import Panel
    panels = []
    default = _design_of(request)

    def make(design=default, resolution=None):
        made = Panel()
        panels.append(made)
        if resolution:
            made.set_resolution(resolution)
        if design is not None:
            made.load_design(_resolve(os.fspath(design), os.path.dirname(_test_file(request.node))))
        return made

    yield make
    for made in panels:
        made.close()


@pytest.fixture
def panel(panel_factory):
    """A fresh headless panel with the test's design open; its reset announcement waits for the
    host. Its clock starts at 0 and moves only with panel.advance() or panel.wait_for()."""
    return panel_factory()


@pytest.fixture
def host(panel):
    """The host side of `panel` (orppanel.Host), with the panel's reset announcement answered:
    protocol mode 0, ready for host.text(), host.set_mode(), ..."""
    made = panel.host()
    made.acknowledge_reset()
    return made


class _Snapshot:
    # The snapshot assertion of one kind ("lcd" or "panel") for one test.
    def __init__(self, request, tmp_path, kind):
        self._request, self._tmp_path, self._kind = request, tmp_path, kind
        self._taken = {}

    def path(self, name=None):
        """The golden picture's path for `name` (default: the next unnamed one of this test)."""
        node = self._request.node
        test = re.sub(r"[^\w.-]+", "_", node.name).strip("_")
        module = os.path.splitext(os.path.basename(_test_file(node)))[0]
        if name is None:
            index = self._taken.get(None, 0) + 1
            name = self._kind if index == 1 else "%s-%d" % (self._kind, index)
        return os.path.join(os.path.dirname(_test_file(node)), "snapshots", module, "%s.%s.png" % (test, name))

    def __call__(self, panel=None, name=None):
        from orppanel import snapshot
        if panel is None:
            panel = self._request.getfixturevalue("panel")
        golden = self.path(name)
        self._taken[name] = self._taken.get(name, 0) + 1
        stem = os.path.splitext(os.path.basename(golden))[0]
        taken = self._tmp_path / (stem + "-taken.png")
        (panel.save_lcd_png if self._kind == "lcd" else panel.save_panel_png)(taken)
        update = self._request.config.getoption("orppanel_update_snapshots")
        result = snapshot.check(str(taken), golden, str(self._tmp_path), stem, update=update)
        if result == "written":
            getattr(self._request.config, _UPDATED).append(golden)
        return result


@pytest.fixture
def lcd_snapshot(request, tmp_path):
    """lcd_snapshot(panel=None, name=None): the LCD picture of `panel` (default: the panel
    fixture) must equal the golden PNG snapshots/<module>/<test>.lcd.png beside the test. On a
    difference: fails with the count of differing pixels; actual, expected and diff pictures
    in tmp_path. --orppanel-update-snapshots writes the golden picture."""
    return _Snapshot(request, tmp_path, "lcd")


@pytest.fixture
def panel_snapshot(request, tmp_path):
    """panel_snapshot(panel=None, name=None): as lcd_snapshot, for the whole panel (front plate,
    LCD, LEDs, latched keys): snapshots/<module>/<test>.panel.png."""
    return _Snapshot(request, tmp_path, "panel")
