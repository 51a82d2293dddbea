// CDeleteSymbolDlg: "Delete Symbol", the confirmation of the deletion of one symbol with its
// quote files. "No" is the default answer.
#pragma once

#include <QDialog>
#include <string>

#include "data/code_page.h"

class QPushButton;

class CDeleteSymbolDlg final : public QDialog {
  Q_OBJECT

 public:
  // `symbol` is bytes of `page`.
  CDeleteSymbolDlg(const std::string& symbol, const barvane::CodePage& page, QWidget* parent);

  QString symbolText() const;
  QPushButton* yesButton() const { return m_yes; }
  QPushButton* noButton() const { return m_no; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString m_symbol;
  QPushButton* m_yes;
  QPushButton* m_no;
};
