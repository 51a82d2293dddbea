// CAdjustDlg: "Adjust Data", a date range and its price, volume and open-interest multipliers.
#pragma once

#include <QDialog>

#include "app/view_state.h"
#include "editing/adjust.h"

class QLineEdit;
class CDateEdit;
class CNumberEdit;

class CAdjustDlg final : public QDialog {
  Q_OBJECT

 public:
  CAdjustDlg(barvane::ViewState& state, const barvane::AdjustTexts& texts, QWidget* parent);

  barvane::AdjustTexts texts() const;
  void accept() override;

  CDateEdit* fromField() const { return m_from; }
  CDateEdit* toField() const { return m_to; }
  CNumberEdit* priceField() const { return m_price; }
  CNumberEdit* volumeField() const { return m_volume; }
  QLineEdit* openInterestField() const { return m_openInterest; }

 private:
  barvane::ViewState& m_state;
  CDateEdit* m_from;
  CDateEdit* m_to;
  CNumberEdit* m_price;
  CNumberEdit* m_volume;
  QLineEdit* m_openInterest;  // takes any character, unlike the other multipliers
};
