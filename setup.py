"""The build step of the Python package (pyproject.toml holds the rest).

build_py also builds liborppanel-headless.so and the two native tools with CMake (native, no
Wine) in build-python/cmake, or in $ORPPANEL_CMAKE_BUILD_DIR, and writes into the package the
library and the demo designs (samples/make_demo_workdir.py with those tools), so that the
installed package needs neither a build folder nor an environment variable. setuptools' own
build folders go to build-python/ too: build/ is the repository's CMake build.
"""

import os
import shutil
import subprocess
import sys
import tempfile

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

ROOT = os.path.dirname(os.path.abspath(__file__))
BUILD_BASE = os.path.join(ROOT, "build-python")


class BuildWithPanel(build_py):
    def run(self):
        super().run()
        cmake_dir = os.environ.get("ORPPANEL_CMAKE_BUILD_DIR") or os.path.join(BUILD_BASE, "cmake")
        jobs = os.environ.get("ORP_JOBS", "2")
        subprocess.check_call(["cmake", "-S", ROOT, "-B", cmake_dir, "-DCMAKE_BUILD_TYPE=Release",
                               "-DORP_HEADLESS_ONLY=ON"], stdout=subprocess.DEVNULL)
        subprocess.check_call(["cmake", "--build", cmake_dir, "-j" + jobs, "--target", "orppanel-headless",
                               "orp-designtool", "orp-lcdtool"])
        package = os.path.join(self.build_lib, "orppanel")
        shutil.copy2(os.path.join(cmake_dir, "lib", "liborppanel-headless.so"), package)
        demo = os.path.join(package, "demo")
        shutil.rmtree(demo, ignore_errors=True)
        with tempfile.TemporaryDirectory() as work:
            subprocess.check_call([sys.executable, os.path.join(ROOT, "samples", "make_demo_workdir.py"), work,
                                   "--designtool", os.path.join(cmake_dir, "tools", "orp-designtool"),
                                   "--lcdtool", os.path.join(cmake_dir, "tools", "orp-lcdtool")],
                                  stdout=subprocess.DEVNULL)
            designs = os.path.join(work, "ORPDesigns")
            os.makedirs(demo)
            for name in ("demo.orp", "demo_de.orp", "demo_contexthelp.txt", "demo_kontexthilfe.txt"):
                shutil.copy2(os.path.join(designs, name), demo)
            shutil.copytree(os.path.join(designs, "LCDs"), os.path.join(demo, "LCDs"))


class PanelDistribution(Distribution):
    # The package holds a native library: the wheel is for this platform only.
    def has_ext_modules(self):
        return True


commands = {"build_py": BuildWithPanel}
try:
    from wheel.bdist_wheel import bdist_wheel

    class PlatformWheel(bdist_wheel):
        # The library is loaded with ctypes, not as an extension module: any Python 3 will do.
        def get_tag(self):
            return ("py3", "none") + tuple(super().get_tag()[2:])

    commands["bdist_wheel"] = PlatformWheel
except ImportError:
    pass

os.makedirs(BUILD_BASE, exist_ok=True)
setup(cmdclass=commands, distclass=PanelDistribution,
      options={"build": {"build_base": BUILD_BASE}, "egg_info": {"egg_base": BUILD_BASE}})
