// CSplitDlg: "Split Data", the split date and the ratio of new to old shares.
#pragma once

#include <QDialog>

#include "app/view_state.h"
#include "editing/split.h"

class CDateEdit;
class CNumberEdit;

class CSplitDlg final : public QDialog {
  Q_OBJECT

 public:
  CSplitDlg(barvane::ViewState& state, const barvane::SplitTexts& texts, QWidget* parent);

  barvane::SplitTexts texts() const;
  void accept() override;

  CDateEdit* dateField() const { return m_date; }
  CNumberEdit* newField() const { return m_new; }
  CNumberEdit* oldField() const { return m_old; }

 private:
  barvane::ViewState& m_state;
  CDateEdit* m_date;
  CNumberEdit* m_new;
  CNumberEdit* m_old;
};
