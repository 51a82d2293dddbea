# Writing: one recorded change each, refused whole before any byte is written.
import subprocess
import sys
import time

import numpy as np
import pandas as pd
import pytest

import barvane
from conftest import cli, copy_fixture, tree_bytes


def later(frame, days, close):
    moved = frame.copy()
    moved.index = moved.index + pd.Timedelta(days=days)
    moved["close"] = np.float32(close)
    return moved


def with_last_close(frame, close):
    changed = frame.copy()
    changed.iloc[-1, changed.columns.get_loc("close")] = np.float32(close)
    return changed


# Each: the symbol, the frame written (from BHP's quotes), and what the series then holds.
WRITES = {
    "merge into an existing symbol": (
        "BHP", {}, lambda q: later(q.iloc[-2:], 7, 40.5), lambda q: pd.concat([q, later(q.iloc[-2:], 7, 40.5)])),
    "replace the series": (
        "BHP", {"replace": True}, lambda q: with_last_close(q, 41.25), lambda q: with_last_close(q, 41.25)),
    "make it exactly the frame": ("BHP", {"replace": True}, lambda q: q.iloc[-3:], lambda q: q.iloc[-3:]),
    "merge keeps the days it has": ("BHP", {}, lambda q: with_last_close(q.iloc[-1:], 50), lambda q: q),
    "a new symbol": ("NEWCO", {"name": "New Company"}, lambda q: q.iloc[:5], lambda q: q.iloc[:5]),
}


@pytest.mark.parametrize("write", WRITES.values(), ids=WRITES.keys())
def test_a_write_is_undone_to_the_byte(tmp_path, write):
    folder = copy_fixture(tmp_path, "asx-mining")
    portfolio = barvane.Portfolio(folder)
    bhp = portfolio.quotes("BHP")
    before = tree_bytes(folder)
    symbol, options, written, expected = write
    portfolio.write(symbol, written(bhp), **options)
    pd.testing.assert_frame_equal(portfolio.quotes(symbol), expected(bhp))
    if symbol == "NEWCO":
        assert portfolio.symbols().set_index("symbol").loc["NEWCO", "name"].rstrip() == "New Company"
    if expected(bhp) is not bhp:
        assert tree_bytes(folder) != before
        cli("undo", folder)
    assert tree_bytes(folder) == before


def test_edit_and_split_are_the_cli_commands(tmp_path):
    folder = copy_fixture(tmp_path, "asx-mining")
    portfolio = barvane.Portfolio(folder)
    before = tree_bytes(folder)
    asked = portfolio.edit("BHP", "2012-03-15", close=35.3)
    assert asked == ["The close 35.3000 lies above the high 35.2500.\n\nStore it all the same?"]
    assert portfolio.quotes("BHP").close.iloc[-1] == np.float32(35.3)
    assert portfolio.split("BHP", pd.Timestamp("2012-03-15"), 2, 1) == []
    assert portfolio.quotes("BHP").close.loc["2012-03-14"] == np.float32(35.61 / 2)
    history = cli("history", folder).stdout
    assert "\tsplit " in history and "\tedit " in history
    cli("undo", folder)
    cli("undo", folder)
    assert tree_bytes(folder) == before


def frame(dates, **columns):
    return pd.DataFrame(columns or {"close": [1.0] * len(dates)},
                        index=pd.DatetimeIndex(pd.to_datetime(dates), name="date"))


@pytest.mark.parametrize("rows, text", [
    (frame(["2012-03-20", "2012-03-21"], close=[1.0, np.nan]), "Row 1 (2012-03-21): close nan cannot be stored."),
    (frame(["2012-03-20"], open=[np.inf], close=[1.0]), "Row 0 (2012-03-20): open inf cannot be stored."),
    (frame(["2012-03-20"], volume=[1e39]), "Row 0 (2012-03-20): volume 1e+39 cannot be stored."),
    (frame(["2012-03-20"], high=[3e38]), "Row 0 (2012-03-20): high 3e+38 cannot be stored."),
    (frame(["2012-03-20", "1899-12-31"]), "Row 1 (1899-12-31): the date lies outside the years 1900 to 2155."),
    (frame(["2156-01-01"]), "Row 0 (2156-01-01): the date lies outside the years 1900 to 2155."),
    (frame(["2012-03-20", "2012-03-20"]), "Row 1 (2012-03-20): the dates are not in order, or one repeats."),
    (frame(["2012-03-20"], price=[1.0]), "No column price can be stored: open, high, low, close, volume, oi."),
    # The core's own refusal is an OSError with the CLI's text.
    (frame(["2012-03-20 10:00:00"]), "BHP is a daily series, and the text holds quotes of several times a day.\n"
                                     "Import them as a new symbol. Nothing was imported."),
])
def test_a_value_the_files_cannot_hold_refuses_the_write(tmp_path, rows, text):
    folder = copy_fixture(tmp_path, "asx-mining")
    before = tree_bytes(folder)
    with pytest.raises(OSError if text.startswith("BHP") else ValueError) as raised:
        barvane.Portfolio(folder).write("BHP", rows)
    assert str(raised.value) == text
    assert tree_bytes(folder) == before
    assert cli("history", folder).stdout == ""


def test_a_portfolio_held_by_another_process_is_busy(tmp_path):
    folder = copy_fixture(tmp_path, "asx-mining")
    holder = subprocess.Popen(
        [sys.executable, "-c", "import fcntl, os, sys, time\n"
         "fd = os.open(sys.argv[1], os.O_RDONLY)\nfcntl.flock(fd, fcntl.LOCK_EX)\n"
         "print('held', flush=True)\ntime.sleep(30)", str(folder)],
        stdout=subprocess.PIPE, text=True)
    try:
        assert holder.stdout.readline() == "held\n"
        before = tree_bytes(folder)
        started = time.monotonic()
        with pytest.raises(barvane.Busy) as raised:
            barvane.Portfolio(folder).write("BHP", frame(["2012-03-20"]))
        assert time.monotonic() - started >= 4.5
        assert str(raised.value) == (f"The portfolio\n{folder}\nis in use by another Barvane command. "
                                     "Nothing was done; try again when it has finished.")
        assert isinstance(raised.value, OSError)
        assert tree_bytes(folder) == before
    finally:
        holder.kill()
        holder.wait()
