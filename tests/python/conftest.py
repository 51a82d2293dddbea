# The module under test, barvane-cli beside it, and copies of the vendor portfolios to change.
import os
import pathlib
import shutil
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
CLI = os.environ.get("BARVANE_CLI", str(ROOT / "build/src/barvane-cli"))
FIXTURES = pathlib.Path(os.environ.get("BARVANE_FIXTURES", ROOT.parent / "shared/fixtures"))


@pytest.fixture(autouse=True)
def history(tmp_path, monkeypatch):
    """Every change goes into a history of the test's own."""
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path / "data"))


def cli(*words, check=True):
    run = subprocess.run([CLI, *map(str, words)], capture_output=True, text=True)
    if check and run.returncode != 0:
        raise AssertionError(f"barvane-cli {' '.join(map(str, words))}: {run.stderr}")
    return run


def copy_fixture(tmp_path, name):
    if not (FIXTURES / name).is_dir():
        pytest.skip(f"no fixture {name}")
    target = tmp_path / name
    shutil.copytree(FIXTURES / name, target)
    for f in target.iterdir():
        f.chmod(0o644)
    return target


def tree_bytes(folder):
    return {p.relative_to(folder): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}
