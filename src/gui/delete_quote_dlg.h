// CDeleteQuoteDlg: "Delete Data", the day to delete; OK asks for confirmation and stays open
// on No.
#pragma once

#include <QDialog>

#include "app/ui.h"

class CDeleteQuoteDlg final : public QDialog {
  Q_OBJECT

 public:
  CDeleteQuoteDlg(barvane::Ui& ui, const std::string& dateText, QWidget* parent);
  void accept() override;

 private:
  barvane::Ui& m_ui;
  std::string m_date;
};
