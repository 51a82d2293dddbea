// CImportDlg: "Import", the text file to read and, for a new symbol, the portfolio folder, the
// symbol and its name; or, for the current symbol, whether days it has take the text's values.
// The order of day and month can be chosen where the file cannot tell it, the encoding where
// the bytes do not, and the adjusted close taken as Close. Before anything is written it shows
// the first and last rows of the file cell by cell under the field each column goes to, and
// below them the columns found, the date order and who decided it, the encoding, the lines
// skipped, the bar check, the tickers of a text that names several (each imported into its
// own symbol), and the days the import adds, replaces and keeps. A refused reading shows why
// and leaves OK disabled.
#pragma once

#include <QDialog>

#include "data/fs.h"
#include "exchange/import.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CImportDlg final : public QDialog {
  Q_OBJECT

 public:
  // `proposal` gives the portfolio and symbol; `newSymbol` lets the user name them.
  CImportDlg(barvane::FileSystem& fs, const barvane::ImportRequest& proposal, bool newSymbol,
             QWidget* parent);

  barvane::ImportRequest request() const;
  // The quotes as the last preview read them.
  const barvane::ImportedText& quotes() const { return m_quotes; }

  QLineEdit* fileEdit() const { return m_file; }
  QLineEdit* folderEdit() const { return m_folder; }
  QLineEdit* symbolEdit() const { return m_symbol; }
  QLineEdit* nameEdit() const { return m_name; }
  QCheckBox* replaceBox() const { return m_replace; }
  QComboBox* datesBox() const { return m_dates; }  // from the file, day, month or year first
  QCheckBox* adjustedBox() const { return m_adjusted; }
  QComboBox* encodingBox() const { return m_encoding; }  // from the bytes, or a named one
  QTableWidget* previewTable() const { return m_table; }
  QLabel* previewLabel() const { return m_preview; }
  QPushButton* okButton() const;

  // Reads the file and works the import out; OK is enabled only when it can be done.
  void Preview();

 private:
  void Browse();
  void ShowTable();

  barvane::FileSystem& m_fs;
  barvane::ImportedText m_quotes;
  QLineEdit* m_file;
  QPushButton* m_browse;
  QLineEdit* m_folder = nullptr;
  QLineEdit* m_symbol = nullptr;
  QLineEdit* m_name = nullptr;
  QCheckBox* m_replace = nullptr;
  QComboBox* m_dates;
  QComboBox* m_encoding;
  QCheckBox* m_adjusted;
  QTableWidget* m_table;
  QLabel* m_preview;
  QDialogButtonBox* m_buttons;
  barvane::ImportRequest m_fixed;  // the portfolio and symbol when they are not asked for
  QString m_proposedFor;           // the file whose symbol and name were proposed last
};
