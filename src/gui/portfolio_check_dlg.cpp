// The portfolio check window.
#include "gui/portfolio_check_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "data/file_names.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "gui/work_progress.h"
#include "tools/check_marks.h"
#include "tools/portfolio_check_view.h"

using namespace barvane;

namespace {

enum Column { kSymbolColumn, kDateColumn, kProblemColumn, kColumnCount };

}  // namespace

CPortfolioCheckDlg::CPortfolioCheckDlg(ViewState& state, std::function<void()> viewChanged, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_viewChanged(std::move(viewChanged)),
      m_list(new QTreeWidget(this)),
      m_status(new QLabel(this)),
      m_checkButton(new QPushButton(QStringLiteral("Check Again"), this)),
      m_repairButton(new QPushButton(QString::fromLatin1(kRepairButtonText), this)),
      m_closeButton(new QPushButton(QStringLiteral("Close"), this)) {
  setWindowTitle(QString::fromLatin1(kCheckTitle));
  setModal(false);
  m_list->setColumnCount(kColumnCount);
  m_list->setHeaderLabels({QStringLiteral("Symbol"), QStringLiteral("Date"), QStringLiteral("Problem")});
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->setSortingEnabled(false);
  m_list->header()->setStretchLastSection(true);
  m_list->setColumnWidth(kSymbolColumn, m_list->fontMetrics().horizontalAdvance(QString(12, QLatin1Char('W'))));
  m_list->setColumnWidth(kDateColumn, m_list->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00WW")));
  m_status->setWordWrap(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_checkButton);
  buttons->addWidget(m_repairButton);
  buttons->addStretch(1);
  buttons->addWidget(m_closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addWidget(m_status);
  layout->addLayout(buttons);

  connect(m_checkButton, &QPushButton::clicked, this, &CPortfolioCheckDlg::RunCheck);
  connect(m_repairButton, &QPushButton::clicked, this, &CPortfolioCheckDlg::Repair);
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { ShowProblemAt(m_list->indexOfTopLevelItem(item)); });
  resize(fontMetrics().horizontalAdvance(QString(80, QLatin1Char('x'))), fontMetrics().height() * 30);
  CentreOnScreen(this);
}

void CPortfolioCheckDlg::RunCheck() { CheckDirectory(m_state.m_portfolioDir); }

void CPortfolioCheckDlg::CheckDirectory(const std::string& dir) {
  m_checkedDir = dir;
  m_state.ui().SetWaitCursor(true);
  const CheckOutcome outcome =
      CheckPortfolio(m_state.fs(), m_checkedDir, WorkProgress(QStringLiteral("Checking symbols..."), this), &m_problems);
  m_state.ui().SetWaitCursor(false);
  if (outcome == CheckOutcome::kNoPortfolio) {
    m_problems.clear();
    m_state.ui().ShowMessage("There is no portfolio in " + m_checkedDir + ": its MASTER file cannot be read.",
                             MessageIcon::kStop);
  }
  m_cancelled = outcome == CheckOutcome::kCancelled;
  ShowProblems();
  emit Checked();
}

void CPortfolioCheckDlg::RecheckSeries(const std::string& dir, const std::string& symbol) {
  if (!barvane::RecheckSeries(m_state.fs(), m_checkedDir, dir, symbol, &m_problems)) return;
  // The user keeps the place in the list: only that series' lines changed.
  const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
  const int scrolled = m_list->verticalScrollBar()->value();
  ShowProblems();
  if (row >= 0 && m_list->topLevelItemCount() > 0) {
    m_list->setCurrentItem(m_list->topLevelItem(std::min(row, m_list->topLevelItemCount() - 1)));
  }
  m_list->verticalScrollBar()->setValue(scrolled);
}

void CPortfolioCheckDlg::ShowProblems() {
  m_list->clear();
  QList<QTreeWidgetItem*> items;
  int mendable = 0;
  for (const CheckProblem& problem : m_problems) {
    std::string text = problem.text;
    if (!problem.where.empty()) text += " (in " + problem.where + ")";
    auto* item = new QTreeWidgetItem({FromFileText(m_state.m_codePage, problem.symbol),
                                      QString::fromLatin1(problem.day == kNoDate ? kNoSymbolText : DateText(problem.day, problem.fourDigitYears).c_str()),
                                      FromMessage(m_state.m_codePage, text)});
    items.append(item);
    mendable += problem.mendable ? 1 : 0;
  }
  m_list->addTopLevelItems(items);
  QString status = FromPath(m_checkedDir) + QStringLiteral(": ");
  if (m_problems.empty()) {
    status += QStringLiteral("no problems found");
  } else if (m_problems.size() == 1) {
    status += mendable != 0 ? QStringLiteral("1 problem, which can be mended without a person; double-click it to see it")
                            : QStringLiteral("1 problem, which needs a person; double-click it to see it");
  } else {
    status += QStringLiteral("%1 problems, %2 of them can be mended without a person; double-click one to see it")
                  .arg(m_problems.size())
                  .arg(mendable);
  }
  if (m_cancelled) status += QStringLiteral(" (check cancelled: not every symbol was read)");
  m_status->setText(status);
  m_repairButton->setEnabled(mendable != 0);
}

void CPortfolioCheckDlg::ShowProblemAt(int row) {
  if (row < 0 || row >= static_cast<int>(m_problems.size())) return;
  const CheckProblem& problem = m_problems[static_cast<std::size_t>(row)];
  if (!ShowProblem(m_state, problem)) {
    m_state.ui().ShowMessage("The symbol " + problem.symbol + " is no longer in " + problem.dir + ".",
                             MessageIcon::kInformation);
  }
  if (m_viewChanged) m_viewChanged();
}

void CPortfolioCheckDlg::Repair() {
  const bool changed =
      RepairFromView(m_state, m_checkedDir, WorkProgress(QStringLiteral("Repairing symbols..."), this), m_repairHooks);
  if (m_viewChanged) m_viewChanged();
  // The list follows the portfolio that was repaired.
  if (changed) CheckDirectory(std::string(m_checkedDir));
}
