// The portfolio check window.
#include "gui/portfolio_check_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <set>

#include "data/file_names.h"
#include "data/printed.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "gui/work_progress.h"
#include "tools/check_marks.h"
#include "tools/portfolio_check_view.h"

using namespace barvane;

namespace {

enum Column { kSymbolColumn, kDateColumn, kQuotesColumn, kProblemColumn, kMendColumn, kColumnCount };
// Where an item keeps its problem: the line's place in the list, and the quote's among the line's.
constexpr int kLineRole = Qt::UserRole;
constexpr int kBarRole = Qt::UserRole + 1;
constexpr int kSortRole = Qt::UserRole + 2;
const QString kEveryKind = QStringLiteral("Every kind");
const QString kMendedKind = QStringLiteral("What the repair mends");

// Sorts dates as days and counts as numbers; lines alike in the column keep the check's order.
class ProblemItem final : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : kSymbolColumn;
    const QVariant mine = data(column, kSortRole), theirs = other.data(column, kSortRole);
    if (mine.isValid() && theirs.isValid()) {
      if (mine != theirs) return mine.toLongLong() < theirs.toLongLong();
    } else if (const int order = QString::compare(text(column), other.text(column), Qt::CaseInsensitive); order != 0) {
      return order < 0;
    }
    const auto place = [](const QTreeWidgetItem& item) {
      return std::pair(item.data(kSymbolColumn, kLineRole).toULongLong(), item.data(kSymbolColumn, kBarRole).toULongLong());
    };
    // Ties keep the check's order whichever way the column is sorted.
    const bool before = place(*this) < place(other);
    return treeWidget() && treeWidget()->header()->sortIndicatorOrder() == Qt::DescendingOrder ? !before : before;
  }
};

}  // namespace

CPortfolioCheckDlg::CPortfolioCheckDlg(ViewState& state, std::function<void()> viewChanged, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_viewChanged(std::move(viewChanged)),
      m_list(new QTreeWidget(this)),
      m_kinds(new QComboBox(this)),
      m_status(new QLabel(this)),
      m_checkButton(new QPushButton(QStringLiteral("Check Again"), this)),
      m_repairButton(new QPushButton(QString::fromLatin1(kRepairButtonText), this)),
      m_closeButton(new QPushButton(QStringLiteral("Close"), this)) {
  setWindowTitle(QString::fromLatin1(kCheckTitle));
  setModal(false);
  m_list->setColumnCount(kColumnCount);
  m_list->setHeaderLabels({QStringLiteral("Symbol"), QStringLiteral("Date"), QStringLiteral("Quotes"),
                           QStringLiteral("Problem"), QStringLiteral("Mend")});
  m_list->setUniformRowHeights(true);
  m_list->setSortingEnabled(true);
  m_list->sortByColumn(kSymbolColumn, Qt::AscendingOrder);
  m_list->header()->setStretchLastSection(false);
  m_list->header()->setSectionResizeMode(kProblemColumn, QHeaderView::Stretch);
  m_list->setColumnWidth(kSymbolColumn, m_list->fontMetrics().horizontalAdvance(QString(12, QLatin1Char('W'))));
  m_list->setColumnWidth(kDateColumn, m_list->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000WW")));
  m_list->setColumnWidth(kQuotesColumn, m_list->fontMetrics().horizontalAdvance(QStringLiteral("Quotes000")));
  m_list->setColumnWidth(kMendColumn, m_list->fontMetrics().horizontalAdvance(QStringLiteral("Mend (0000)WW")));
  m_status->setWordWrap(true);
  auto* kindLabel = new QLabel(QStringLiteral("&Show:"), this);
  kindLabel->setBuddy(m_kinds);

  auto* filter = new QHBoxLayout;
  filter->addWidget(kindLabel);
  filter->addWidget(m_kinds, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_checkButton);
  buttons->addWidget(m_repairButton);
  buttons->addStretch(1);
  buttons->addWidget(m_closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filter);
  layout->addWidget(m_list);
  layout->addWidget(m_status);
  layout->addLayout(buttons);

  connect(m_checkButton, &QPushButton::clicked, this, &CPortfolioCheckDlg::RunCheck);
  connect(m_repairButton, &QPushButton::clicked, this, &CPortfolioCheckDlg::Repair);
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_kinds, &QComboBox::currentIndexChanged, this, &CPortfolioCheckDlg::ApplyFilter);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CPortfolioCheckDlg::ShowProblemOf);
  resize(fontMetrics().horizontalAdvance(QString(96, QLatin1Char('x'))), fontMetrics().height() * 30);
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
  const auto itemOf = [this](const CheckProblem& problem, QTreeWidgetItem* parent) {
    auto* item = parent ? new ProblemItem(parent) : new ProblemItem;
    item->setText(kSymbolColumn, FromFileText(m_state.m_codePage, problem.symbol));
    item->setText(kDateColumn, QString::fromLatin1(
                                   problem.day == kNoDate ? kNoSymbolText : DateText(problem.day, problem.fourDigitYears).c_str()));
    item->setData(kDateColumn, kSortRole, static_cast<qlonglong>(problem.day));
    std::string text = problem.text;
    if (!problem.where.empty()) text += " (in " + problem.where + ")";
    item->setText(kProblemColumn, FromMessage(m_state.m_codePage, text));
    return item;
  };
  QList<QTreeWidgetItem*> items;
  int mendable = 0;
  for (std::size_t i = 0; i < m_problems.size(); ++i) {
    const CheckProblem& problem = m_problems[i];
    QTreeWidgetItem* line = itemOf(problem, nullptr);
    line->setData(kSymbolColumn, kLineRole, static_cast<qulonglong>(i));
    if (problem.day != kNoDate) {
      line->setText(kQuotesColumn, FromLatin1(GroupedNumber(static_cast<long long>(problem.quotes))));
      line->setTextAlignment(kQuotesColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    line->setData(kQuotesColumn, kSortRole, static_cast<qlonglong>(problem.day == kNoDate ? 0 : problem.quotes));
    line->setData(kProblemColumn, kSortRole, QVariant());
    if (problem.mendable) {
      line->setText(kMendColumn, QStringLiteral("can mend"));
      ++mendable;
    }
    for (std::size_t b = 0; b < problem.bars.size(); ++b) {
      QTreeWidgetItem* bar = itemOf(problem.bars[b], line);
      bar->setData(kSymbolColumn, kLineRole, static_cast<qulonglong>(i));
      bar->setData(kSymbolColumn, kBarRole, static_cast<qulonglong>(b));
    }
    items.append(line);
  }
  m_list->addTopLevelItems(items);
  m_list->headerItem()->setText(kMendColumn, QStringLiteral("Mend (%1)").arg(mendable));
  ListKinds();
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

void CPortfolioCheckDlg::ListKinds() {
  const QString chosen = m_kinds->currentText();
  std::set<std::string> kinds;
  bool mendable = false;
  for (const CheckProblem& problem : m_problems) {
    kinds.insert(KindOfLine(problem));
    mendable = mendable || problem.mendable;
  }
  const QSignalBlocker quiet(m_kinds);
  m_kinds->clear();
  m_kinds->addItem(kEveryKind);
  for (const std::string& kind : kinds) m_kinds->addItem(QString::fromLatin1(kind.c_str()));
  if (mendable) m_kinds->addItem(kMendedKind);
  // The kind chosen stays chosen while the report has it.
  m_kinds->setCurrentIndex(std::max(0, m_kinds->findText(chosen)));
  ApplyFilter();
}

void CPortfolioCheckDlg::ApplyFilter() {
  const QString kind = m_kinds->currentText();
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = m_list->topLevelItem(i);
    const CheckProblem* problem = ProblemOf(item);
    const bool shown = kind == kEveryKind || (kind == kMendedKind ? problem->mendable
                                                                  : QString::fromLatin1(KindOfLine(*problem).c_str()) == kind);
    item->setHidden(!shown);
  }
}

const CheckProblem* CPortfolioCheckDlg::ProblemOf(QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  const auto line = item->data(kSymbolColumn, kLineRole).toULongLong();
  if (line >= m_problems.size()) return nullptr;
  const CheckProblem& problem = m_problems[line];
  const QVariant bar = item->data(kSymbolColumn, kBarRole);
  if (!bar.isValid()) return &problem;
  return bar.toULongLong() < problem.bars.size() ? &problem.bars[bar.toULongLong()] : nullptr;
}

void CPortfolioCheckDlg::ShowProblemOf(QTreeWidgetItem* item) {
  const CheckProblem* found = ProblemOf(item);
  if (!found) return;
  const CheckProblem problem = *found;  // the view's refill may check the series again
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
