"""The headless package's own tests. They run against the installed package (its pytest plugin
gives the fixtures): scripts/test-headless.sh installs it into a new venv and runs them there.
From a source tree with build/ built instead:

    PYTHONPATH=python ORPPANEL_DEMO_DIR=<demo work directory>/ORPDesigns \\
        python3 -m pytest -p orppanel.plugin tests/headless
"""

import pytest

pytest_plugins = ["pytester"]


@pytest.fixture
def inner_pytest(pytester, pytestconfig):
    """runpytest for a test run of its own, with the plugin loaded as in this run."""
    loaded = [] if pytestconfig.pluginmanager.has_plugin("orppanel") else ["-p", "orppanel.plugin"]
    return lambda *args: pytester.runpytest("-p", "no:cacheprovider", *loaded, *args)
