"""Builds the package together with its own copy of the native library.

The library is compiled by CMake from the sources of the repository that
holds this folder (../src, ../include), so the package must be built from a
checkout: ``python3 -m pip install --no-build-isolation ./python``. The
version is the library's own, from the MENSORA_VERSION_* macros of
include/Mensora.h (which CMake reads too).
"""
import os
import re
import shutil
import subprocess
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
# File names of the library that CMake builds, on each platform.
LIBRARY_NAMES = ("libMensora.so", "libMensora.dylib", "Mensora.dll")


def library_version():
    header = ROOT / "include" / "Mensora.h"
    if not (header.is_file() and (ROOT / "CMakeLists.txt").is_file()):
        raise SystemExit(f"mensora: the library's sources are not in {ROOT}; "
                         "build the package from a checkout of the repository")
    text = header.read_text()
    parts = [re.search(rf"^#define MENSORA_VERSION_{part} (\d+)$", text, re.M)
             for part in ("MAJOR", "MINOR", "PATCH")]
    if not all(parts):
        raise SystemExit(f"mensora: no MENSORA_VERSION_* macros in {header}")
    return ".".join(found.group(1) for found in parts)


class BuildNative(build_ext):
    """Compiles the shared library with CMake and copies it into the package,
    then the package's compiled calls (mensora/_calls.c)."""

    def run(self):
        cmake = shutil.which("cmake")
        if cmake is None:
            raise SystemExit("mensora: cmake is needed to build the native library "
                             "(Debian: scripts/deps.sh cmake g++ make)")
        build_dir = Path(self.build_temp).resolve() / "native"
        subprocess.check_call([
            cmake, "-S", str(ROOT), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release",
            "-DMENSORA_TEST=OFF", "-DMENSORA_BENCH=OFF", "-DMENSORA_TOOLS=OFF",
            "-DMENSORA_INSTALL=OFF", "-DMENSORA_FUZZ=OFF"])
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.check_call([cmake, "--build", str(build_dir), "--target", "Mensora",
                               "--parallel", jobs])
        built = [build_dir / name for name in LIBRARY_NAMES if (build_dir / name).exists()]
        if not built:
            raise SystemExit(f"mensora: CMake built no library in {build_dir}")
        package_dir = HERE / "mensora" if self.inplace else Path(self.build_lib) / "mensora"
        package_dir.mkdir(parents=True, exist_ok=True)
        # The real file behind the versioned symlinks, under the plain name.
        shutil.copyfile(built[0].resolve(), package_dir / built[0].name)
        # The compiled calls take the library's functions from the package at
        # run time: they need its header and numpy's, not the library.
        import numpy

        for extension in self.extensions:
            extension.include_dirs += [str(ROOT / "include"), numpy.get_include()]
        super().run()


setup(
    version=library_version(),
    cmdclass={"build_ext": BuildNative},
    ext_modules=[Extension("mensora._calls", ["mensora/_calls.c"])],
)
