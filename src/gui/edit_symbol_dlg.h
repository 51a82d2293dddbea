// CEditSymbolDlg: "Edit Symbol", a new symbol text and issue name for the selected symbol. OK
// keeps the dialog open, with the reason, while the texts cannot be stored as typed.
#pragma once

#include <QDialog>

#include "app/ui.h"
#include "data/code_page.h"
#include "tools/edit_symbol.h"

class QLineEdit;

class CEditSymbolDlg final : public QDialog {
  Q_OBJECT

 public:
  // `texts` and the texts typed are bytes of `page`.
  CEditSymbolDlg(barvane::Ui& ui, const barvane::CodePage& page, const barvane::SymbolTexts& texts, QWidget* parent);

  barvane::SymbolTexts texts() const;
  void accept() override;

  QLineEdit* symbolField() const { return m_symbol; }
  QLineEdit* nameField() const { return m_name; }

 private:
  barvane::Ui& m_ui;
  barvane::CodePage m_page;
  QLineEdit* m_symbol;
  QLineEdit* m_name;
};
