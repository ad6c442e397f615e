"""The headless panel's own tests use the fixtures of the firmware example."""

import importlib.util
import os

_EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "pytest", "conftest.py")
_spec = importlib.util.spec_from_file_location("demo_fixtures", _EXAMPLE)
_fixtures = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_fixtures)

demo_workdir = _fixtures.demo_workdir
panel = _fixtures.panel
snapshot_dir = _fixtures.snapshot_dir
