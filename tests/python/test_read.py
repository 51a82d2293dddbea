# Reading: the frames hold what barvane-cli shows, value for value.
import io

import numpy as np
import pandas as pd
import pytest

import barvane
from conftest import cli, copy_fixture


COLUMNS = ["open", "high", "low", "close", "volume", "oi"]


def cli_frame(folder, symbol):
    """barvane-cli quotes as a frame, oldest first: the moments, and the numbers of the columns
    held (a column of N/A is one the series does not hold)."""
    text = cli("quotes", folder, symbol).stdout
    table = pd.read_csv(io.StringIO(text), sep="\t", header=None, dtype=str, keep_default_na=False)
    table = table.iloc[::-1].reset_index(drop=True)
    timed = table.shape[1] == 2 + len(COLUMNS)
    # One series shows every date in one style.
    dates = pd.to_datetime(table[0], format="%m/%d/%Y" if len(table[0][0]) == 10 else "%m/%d/%y")
    # A two-digit year is one of 1961..2060; Python reads 61..68 as 2061..2068.
    dates = dates.where(dates.dt.year <= 2060, dates - pd.DateOffset(years=100))
    if timed:
        dates = dates + pd.to_timedelta(table[1])
    values = table.iloc[:, -len(COLUMNS):].replace("N/A", np.nan).astype(np.float64)
    values.columns = COLUMNS
    held = [c for c in COLUMNS if values[c].notna().all()]
    return pd.DataFrame(values[held].to_numpy(), index=pd.DatetimeIndex(dates, name="date"), columns=held)


def assert_as_the_cli_shows(frame, shown):
    """Each value is the one the CLI printed: its text reads back as the very same float."""
    assert list(frame.columns) == list(shown.columns)
    assert (frame.index == shown.index).all()
    assert (frame.to_numpy(dtype=np.float32) == shown.to_numpy(dtype=np.float32)).all()


@pytest.mark.parametrize("fixture", ["asx-mining", "hsi-mini-futures"])
def test_every_symbol_reads_as_the_cli_shows_it(tmp_path, fixture):
    folder = copy_fixture(tmp_path, fixture)
    portfolio = barvane.Portfolio(folder)
    symbols = portfolio.symbols()
    listed = [line.split("\t")[0] for line in cli("symbols", folder).stdout.splitlines()]
    assert list(symbols.symbol) == listed
    for symbol in symbols.symbol:
        frame = portfolio.quotes(symbol)
        assert frame.index.name == "date" and frame.index.is_monotonic_increasing
        assert all(frame.dtypes == np.float32)
        assert_as_the_cli_shows(frame, cli_frame(folder, symbol))


def test_symbols_hold_the_index_facts_and_a_range_keeps_its_ends(tmp_path):
    portfolio = barvane.Portfolio(copy_fixture(tmp_path, "asx-mining"))
    symbols = portfolio.symbols().set_index("symbol")
    bhp = symbols.loc["BHP"]
    frame = portfolio.quotes("BHP")
    assert (bhp["first"], bhp["last"]) == (frame.index[0], frame.index[-1])
    assert (bhp.periodicity, bhp.fields) == ("D", 7)
    facts = cli("facts", portfolio.path, "BHP").stdout
    assert f"File number: {bhp.file_number}\n" in facts
    frame = portfolio.quotes("BHP", start="2012-03-13", end="2012-03-14")
    assert list(frame.index.strftime("%Y-%m-%d")) == ["2012-03-13", "2012-03-14"]


def test_intraday_and_early_series(tmp_path):
    cli("sample", tmp_path / "drive")
    futures = barvane.Portfolio(tmp_path / "drive/Futures")
    bars = futures.quotes("ESZ6")
    assert (bars.index != bars.index.normalize()).all()
    assert_as_the_cli_shows(bars, cli_frame(futures.path, "ESZ6"))

    text = tmp_path / "early.txt"
    text.write_text("Date,Time,Close\n1928-03-01,10:00:00,1.5\n1928-03-01,10:00:05,1.75\n1928-03-02,09:30:11,2\n")
    cli("import", tmp_path / "early", "EARLY", text)
    early = barvane.Portfolio(tmp_path / "early").quotes("EARLY")
    assert list(early.index.strftime("%Y-%m-%d %H:%M:%S")) == [
        "1928-03-01 10:00:00", "1928-03-01 10:00:05", "1928-03-02 09:30:11"]
    assert list(early.close) == [1.5, 1.75, 2.0]


@pytest.mark.parametrize("call, error, text", [
    (lambda p: p.quotes("NOPE"), KeyError, "No symbol NOPE in {dir}"),
    (lambda p: p.edit("NOPE", "2012-03-15", close=1), KeyError, "No symbol NOPE in {dir}"),
    (lambda p: barvane.Portfolio(p.path + "/none"), FileNotFoundError,
     "There is no portfolio in {dir}/none: its MASTER file cannot be read."),
    (lambda p: barvane.Portfolio(p.path, codepage="latin-9"), ValueError, "codepage takes one of: windows-1250"),
    (lambda p: barvane.portfolios(p.path + "/F1.DAT"), OSError, "{dir}/F1.DAT is not a directory"),
])
def test_refusals_name_what_is_wrong(tmp_path, call, error, text):
    portfolio = barvane.Portfolio(copy_fixture(tmp_path, "asx-mining"))
    with pytest.raises(error) as raised:
        call(portfolio)
    message = raised.value.args[0]
    assert message.startswith(text.format(dir=portfolio.path))


def test_check_gives_the_cli_lines(tmp_path):
    folder = copy_fixture(tmp_path, "asx-mining")
    quotes = folder / "F27.DAT"
    quotes.write_bytes(quotes.read_bytes()[:-5])  # a torn last record
    problems = barvane.Portfolio(folder).check()
    lines = cli("check", folder, check=False).stdout.splitlines()
    assert len(problems) == len(lines) > 0
    for row, line in zip(problems.itertuples(), lines):
        symbol, date, text = line.split("\t", 2)
        assert (row.symbol, row.text) == (symbol, text)
        assert (date == "-") == pd.isna(row.date)
        assert row.kind in ("mendable", "needs a person")
