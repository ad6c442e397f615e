#!/usr/bin/env bash
# The Python package as a user gets it: a new venv outside the repository (with Debian's pytest
# and Pillow through --system-site-packages), `pip install --no-build-isolation` of this
# repository (the package's build step builds liborppanel-headless.so with CMake in
# build-python/ and puts it into the package), then, in a folder outside the repository:
# `pytest --fixtures` lists the plugin's fixtures, and copies of the example firmware tests
# (examples/pytest) and of the package's own tests (tests/headless) pass.
#
#   ORP_VENV=DIR   make the venv there and keep it (scripts/test.sh replays a Wine log with it
#                  later); by default it is a temporary one
#
# The pictures of a failed snapshot (actual, expected, diff) are kept in build-python/pytest/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Debian's python3: another python3 earlier on PATH may lack pytest and Pillow
# (scripts/setup.sh installs python3-venv, python3-setuptools, python3-pytest, python3-pil).
python=/usr/bin/python3
for module in venv setuptools pytest PIL; do
  if ! "$python" -c "import $module" 2>/dev/null; then
    echo "test-headless: $python has no $module (scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
venv=${ORP_VENV:-$work/venv}
rm -rf "$venv"
"$python" -m venv --system-site-packages "$venv"
echo "test-headless: installing the package into $venv"
ORP_JOBS=${ORP_JOBS:-2} "$venv/bin/python" -m pip install -q --no-index --no-build-isolation "$root"

mkdir -p "$work/examples" "$work/headless"
cp -r "$root/examples/pytest/." "$work/examples/"
cp -r "$root/tests/headless/." "$work/headless/"
cd "$work"
# No environment variable points anywhere: the package finds its own library and demo designs.
unset ORPPANEL_HEADLESS_LIB ORPPANEL_DEMO_DIR PYTHONPATH
"$venv/bin/python" -c "import orppanel, sys; sys.exit(not orppanel.library_path().startswith(sys.prefix))" || {
  echo "test-headless: the package does not use the library it was installed with" >&2
  exit 1
}
listed=$("$venv/bin/python" -m pytest -p no:cacheprovider --fixtures examples)
for fixture in panel panel_factory host lcd_snapshot panel_snapshot; do
  grep -q "^$fixture -- .*orppanel/plugin.py" <<<"$listed" || {
    echo "test-headless: pytest --fixtures does not list the plugin's fixture $fixture" >&2
    exit 1
  }
done
basetemp=$root/build-python/pytest
mkdir -p "$basetemp"
for suite in examples headless; do
  (cd "$work/$suite" && "$venv/bin/python" -m pytest -q -p no:cacheprovider --basetemp "$basetemp/$suite")
done
echo "test-headless: the plugin's fixtures are listed and the tests pass in a venv outside the repository"
