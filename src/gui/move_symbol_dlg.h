// CMoveSymbolDlg: "Move Symbol" (or "Copy Symbol"), the choice of the portfolio that the
// current symbol is moved or copied to, among the portfolios found but the current one.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

struct MoveSymbolTexts {
  std::string portfolio;  // the current portfolio directory
  std::string symbol;  // as shown: UTF-8
  std::string name;
};

class CMoveSymbolDlg final : public QDialog {
  Q_OBJECT

 public:
  CMoveSymbolDlg(const std::vector<std::string>& destinations, bool move, const MoveSymbolTexts& texts,
                 QWidget* parent);

  // The portfolio chosen on OK; empty until then, or when none was selected.
  const std::string& destination() const { return m_destination; }
  void accept() override;

  QListWidget* portfolioList() const { return m_list; }
  QLabel* symbolText() const { return m_symbol; }
  QLabel* nameText() const { return m_name; }
  QLabel* portfolioText() const { return m_portfolio; }

 private:
  std::vector<std::string> m_destinations;
  std::string m_destination;
  QListWidget* m_list;
  QLabel* m_symbol;
  QLabel* m_name;
  QLabel* m_portfolio;
};
