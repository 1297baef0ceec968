"""Finding the library."""

import os
import subprocess
import sys


def run_python(code, **environment):
    env = dict(os.environ, **environment)
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True,
                          timeout=60)


def test_a_library_that_cannot_be_loaded_is_named_in_the_import_error(tmp_path):
    missing = str(tmp_path / "libirdex.so.0")
    result = run_python("import irdex", IRDEX_LIBRARY=missing)
    assert result.returncode != 0
    assert "ImportError: libirdex.so could not be loaded" in result.stderr
    assert missing in result.stderr


def test_the_library_named_by_the_environment_is_the_one_loaded():
    result = run_python("import irdex._library as L; print(L.lib._name)")
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == os.environ["IRDEX_LIBRARY"]
