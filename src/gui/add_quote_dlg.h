// CAddQuoteDlg: "Add Data", the new date and how the new quote is made.
#pragma once

#include <QDialog>
#include <string>

class CAddQuoteDlg final : public QDialog {
  Q_OBJECT

 public:
  // `explanation`: how the new quote is made (AddQuoteExplanation).
  CAddQuoteDlg(const std::string& newDate, const std::string& explanation, QWidget* parent);
};
