"""Reading every symbol of a portfolio into DataFrames through barvane, against the fastest
reader numpy allows of the same files (the same frames from the bytes, vectorised), and the
bare read of the files' bytes. pandas is imported before any clock runs.

    PYTHONPATH=build/python python3 bench/python_read.py [PORTFOLIO]
"""
import pathlib
import sys
import time

import numpy as np
import pandas as pd

import barvane

FOLDER = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                      pathlib.Path(__file__).resolve().parents[2] / "shared/fixtures/asx-mining")
COLUMNS = ["open", "high", "low", "close", "volume", "oi"]
EPOCH = np.datetime64("1970-01-01", "D")


def quote_files(symbols):
    names = {p.name.upper(): p for p in FOLDER.iterdir()}
    return [names[f"F{n}.DAT"] for n in symbols.file_number]


def mbf_to_float(words):
    """MBF singles (as 32-bit words) to IEEE floats, all at once."""
    exponent = words >> 24
    ieee = (words & 0x007FFFFF) | ((words >> 23 & 1) << 31) | ((exponent - 2) & 0xFF) << 23
    return np.where(exponent == 0, np.uint32(0), ieee).astype(np.uint32).view(np.float32)


def numpy_frame(path, fields):
    records = np.fromfile(path, dtype="<u4").reshape(-1, fields)[1:]
    values = mbf_to_float(records)
    yymmdd = values[:, 0].astype(np.int64)
    years = (yymmdd // 10000 + 1900 - 1970).astype("datetime64[Y]")
    months = years.astype("datetime64[M]") + (yymmdd // 100 % 100 - 1)
    days = months.astype("datetime64[D]") + (yymmdd % 100 - 1)
    index = pd.DatetimeIndex(days.astype("datetime64[ns]"), name="date")
    return pd.DataFrame(values[:, 1:], index=index, columns=COLUMNS[:fields - 1], copy=False)


def best(run, repeats=7):
    times = []
    for _ in range(repeats):
        started = time.perf_counter()
        run()
        times.append(time.perf_counter() - started)
    return min(times)


def main():
    portfolio = barvane.Portfolio(FOLDER)
    symbols = portfolio.symbols()
    files = quote_files(symbols)
    quotes = sum(len(portfolio.quotes(s)) for s in symbols.symbol)
    ours = best(lambda: [portfolio.quotes(s) for s in symbols.symbol])
    fastest = best(lambda: [numpy_frame(f, n) for f, n in zip(files, symbols.fields)])
    arrays = best(lambda: [portfolio._files.quotes(s) for s in symbols.symbol])
    raw = best(lambda: [f.read_bytes() for f in files])
    frame, reference = portfolio.quotes(symbols.symbol[0]), numpy_frame(files[0], symbols.fields[0])
    assert (frame.to_numpy() == reference.to_numpy()).all() and (frame.index == reference.index).all()
    print(f"{len(symbols)} symbols, {quotes} quotes, best of 7 runs")
    print(f"barvane quotes() into DataFrames: {ours * 1e3:8.2f} ms")
    print(f"numpy reader into DataFrames:     {fastest * 1e3:8.2f} ms  (barvane {ours / fastest:.2f}x)")
    print(f"barvane's arrays, before pandas:  {arrays * 1e3:8.2f} ms")
    print(f"bytes of the quote files alone:   {raw * 1e3:8.2f} ms  (barvane {ours / raw:.2f}x)")


main()
