// CAddQuoteDlg: "Add Data", the new date and how the new quote is made.
#pragma once

#include <QDialog>
#include <string>

class CAddQuoteDlg final : public QDialog {
  Q_OBJECT

 public:
  CAddQuoteDlg(const std::string& newDate, QWidget* parent);
};
