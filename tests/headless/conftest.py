"""The headless package's own tests. They run against the installed package (its pytest plugin
gives the fixtures): scripts/test-headless.sh installs it into a new venv and runs them there.
From a source tree with build/ built instead:

    PYTHONPATH=python ORPPANEL_DEMO_DIR=<demo work directory>/ORPDesigns \\
        python3 -m pytest -p orppanel.plugin tests/headless
"""

pytest_plugins = ["pytester"]
