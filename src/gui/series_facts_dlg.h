// CSeriesFactsDlg: "About Selected Quote Series", what the files say about one series.
#pragma once

#include <QDialog>

#include "data/code_page.h"
#include "data/series_facts.h"

class QLabel;

class CSeriesFactsDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CSeriesFactsDlg(QWidget* parent);
  // The name and symbol are bytes of `page`.
  void SetFacts(const barvane::SeriesFacts& facts, const barvane::CodePage& page);

  // The value texts, in the order of the dialog: path, file number, record length, field
  // count, quotes, name, first date, last date, data format, symbol, then input and display
  // format of Date, Time, Open, High, Low, Close, Vol and OI.
  QStringList texts() const;

 private:
  QLabel* Value();

  std::vector<QLabel*> m_values;
};
