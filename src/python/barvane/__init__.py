"""Barvane's portfolios in pandas: read quotes into DataFrames, write them back as one change
that ``barvane-cli undo`` takes back, under the same locks and with the same texts as the editor.

    import barvane
    p = barvane.Portfolio("/data/asx")
    df = p.quotes("BHP", start="2012-01-01")
    df.loc["2012-03-15", "close"] = 35.20
    p.write("BHP", df)
"""
import numpy as np
import pandas as pd

from barvane._barvane import Busy
from barvane._barvane import Portfolio as _Files
from barvane._barvane import portfolios as _portfolios

__all__ = ["Busy", "Portfolio", "portfolios"]


def portfolios(root):
    """The portfolio folders a walk from ``root`` finds, in the editor's list order."""
    return _portfolios(str(root))


def _timestamps(nanos):
    return np.asarray(nanos, dtype=np.int64).view("datetime64[ns]")


def _when_text(when):
    """A quote's date (and time) as barvane-cli takes it."""
    if isinstance(when, str):
        return when
    stamp = pd.Timestamp(when)
    if stamp.hour or stamp.minute or stamp.second:
        return stamp.strftime("%Y-%m-%d %H:%M:%S")
    return stamp.strftime("%Y-%m-%d")


def _number_text(value):
    """A number as a text the entry fields read back to the same float: no exponent."""
    return np.format_float_positional(float(value), trim="-")


class Portfolio:
    """The portfolio in folder ``path``, its symbols and names in ``codepage``."""

    def __init__(self, path, codepage="windows-1252"):
        self._files = _Files(str(path), codepage)

    @property
    def path(self):
        return self._files.path

    def symbols(self):
        columns = self._files.symbols()
        for date in ("first", "last"):
            columns[date] = _timestamps(columns[date])
        return pd.DataFrame(columns)

    def quotes(self, symbol, start=None, end=None):
        """The quotes of ``symbol`` oldest first, the file's floats as float32, indexed by date."""
        nanos, values, names = self._files.quotes(symbol)
        index = pd.DatetimeIndex(_timestamps(nanos), name="date")
        frame = pd.DataFrame(values, index=index, columns=names, copy=False)
        if start is None and end is None:
            return frame
        return frame.loc[start:end]

    def write(self, symbol, df, name=None, replace=False):
        """Merges the rows of ``df`` into ``symbol`` by date and time (the symbol is made, named
        ``name``, when missing); ``replace`` makes the series exactly ``df``."""
        if not isinstance(df.index, pd.DatetimeIndex):
            raise ValueError("The rows need a DatetimeIndex of their dates.")
        index = df.index.tz_localize(None) if df.index.tz is not None else df.index
        nanos = index.values.astype("datetime64[ns]").view(np.int64)
        values = df.to_numpy(dtype=np.float64, na_value=np.nan)
        return self._files.write(symbol, nanos, [str(c) for c in df.columns], values, name, replace)

    def edit(self, symbol, when, **values):
        """Sets the values named (open, high, low, close, volume, oi) of the quote ``when``, as
        ``barvane-cli edit`` does; gives the questions it answered Yes to."""
        columns = ["open", "high", "low", "close", "volume", "oi"]
        unknown = set(values) - set(columns)
        if unknown:
            raise ValueError("No column " + ", ".join(sorted(unknown)) + " can be edited.")
        frame = self.quotes(symbol)
        stamp = pd.Timestamp(when)
        if stamp not in frame.index:
            raise KeyError("No quote dated " + _when_text(when))
        shown = frame.loc[stamp]
        if isinstance(shown, pd.DataFrame):
            shown = shown.iloc[0]
        texts = []
        for column in columns:
            if column in values:
                texts.append(_number_text(values[column]))
            elif column in shown.index:
                texts.append(("%.4f" if column not in ("volume", "oi") else "%.0f") % shown[column])
            else:
                texts.append("N/A")
        return self._files.quote_command("edit", symbol, [_when_text(when)] + texts)

    def split(self, symbol, when, new, old):
        """Enters a split of ``new`` for ``old`` before ``when``, as ``barvane-cli split`` does."""
        return self._files.quote_command("split", symbol, [_when_text(when), _number_text(new), _number_text(old)])

    def check(self):
        """The faults of the files: one row each, the columns symbol, date, kind and text."""
        columns = self._files.check()
        columns["date"] = _timestamps(columns["date"])
        return pd.DataFrame(columns, columns=["symbol", "date", "kind", "text"])
