// The split search window.
#include "gui/split_search_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "gui/number_edit.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

namespace {

constexpr int kStatusLimit = 25;
constexpr qint64 kPaintIntervalMs = 100;
constexpr int kCandidateRole = Qt::UserRole;

}  // namespace

CSplitSearchDlg::CSplitSearchDlg(ViewState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_state(state),
      m_results(new QListWidget(this)),
      m_status(new QLabel(this)),
      m_order(new QComboBox(this)),
      m_minimumPrice(new CNumberEdit(this)),
      m_searchButton(new QPushButton(QStringLiteral("Search"), this)),
      m_splitButton(new QPushButton(QStringLiteral("S&plit..."), this)),
      m_saveButton(new QPushButton(QStringLiteral("Save As..."), this)),
      m_closeButton(new QPushButton(QStringLiteral("Close"), this)) {
  setWindowTitle(QString::fromLatin1(kSplitSearchTitle));
  setModal(false);
  auto* group = new QGroupBox(QStringLiteral("Search Results"), this);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_results);
  groupLayout->addWidget(m_status);
  m_results->setSortingEnabled(false);
  m_results->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_results->setToolTip(QStringLiteral("Double-click or Enter shows the day in the main window"));
  m_status->setAlignment(Qt::AlignCenter);
  // Room for the longest status the window keeps (25 characters) without resizing.
  m_status->setMinimumWidth(m_status->fontMetrics().horizontalAdvance(QString(kStatusLimit, QLatin1Char('W'))));

  auto* show = new QGroupBox(QStringLiteral("Show"), this);
  auto* showLayout = new QGridLayout(show);
  for (std::size_t i = 0; i < kSplitRatios.size(); ++i) {
    const SplitRatio r = kSplitRatios[i];
    m_ratios[i] = new QCheckBox(QStringLiteral("%1 for %2").arg(r.p).arg(r.q), show);
    m_ratios[i]->setChecked(true);
    showLayout->addWidget(m_ratios[i], static_cast<int>(i / 4), static_cast<int>(i % 4));
    connect(m_ratios[i], &QCheckBox::toggled, this, &CSplitSearchDlg::Relist);
  }
  auto* priceLabel = new QLabel(QStringLiteral("Hide prices &below"), show);
  priceLabel->setBuddy(m_minimumPrice);
  m_minimumPrice->setMaxLength(10);
  m_minimumPrice->setToolTip(QStringLiteral("Hides a candidate whose closes both lie below this price"));
  auto* orderLabel = new QLabel(QStringLiteral("&Sort by"), show);
  orderLabel->setBuddy(m_order);
  m_order->addItems({QStringLiteral("Order found"), QStringLiteral("Symbol"), QStringLiteral("Date")});
  auto* choices = new QHBoxLayout;
  choices->addWidget(priceLabel);
  choices->addWidget(m_minimumPrice);
  choices->addSpacing(12);
  choices->addWidget(orderLabel);
  choices->addWidget(m_order);
  choices->addStretch(1);
  showLayout->addLayout(choices, 2, 0, 1, 4);
  connect(m_minimumPrice, &QLineEdit::textChanged, this, &CSplitSearchDlg::Relist);
  connect(m_order, &QComboBox::currentIndexChanged, this, &CSplitSearchDlg::Relist);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_searchButton);
  buttons->addWidget(m_splitButton);
  buttons->addWidget(m_saveButton);
  buttons->addStretch(1);
  buttons->addWidget(m_closeButton);
  m_searchButton->setDefault(true);
  m_splitButton->setEnabled(false);
  m_splitButton->setToolTip(QStringLiteral("Enter the chosen candidate's split"));
  m_saveButton->setEnabled(false);

  auto* layout = new QGridLayout(this);
  layout->addWidget(group, 0, 0);
  layout->addWidget(show, 1, 0);
  layout->addLayout(buttons, 0, 1, 2, 1);
  layout->addWidget(new QLabel(QStringLiteral("Search results should be confirmed before editing data."), this),
                    2, 0, 1, 2);
  layout->setRowStretch(0, 1);
  connect(m_searchButton, &QPushButton::clicked, this, &CSplitSearchDlg::Search);
  connect(m_splitButton, &QPushButton::clicked, this, [this] {
    if (const long current = CurrentCandidate(); current >= 0) emit SplitRequested(static_cast<std::size_t>(current));
  });
  connect(m_saveButton, &QPushButton::clicked, this, &CSplitSearchDlg::SaveAs);
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_results, &QListWidget::activated, this, [this] {
    if (const long current = CurrentCandidate(); current >= 0) emit OpenRequested(static_cast<std::size_t>(current));
  });
  // With a line chosen, Enter offers its split; without one, it searches.
  connect(m_results, &QListWidget::currentRowChanged, this, [this](int row) {
    m_splitButton->setEnabled(row >= 0);
    m_splitButton->setDefault(row >= 0);
    m_searchButton->setDefault(row < 0);
  });
  resize(sizeHint().width(), sizeHint().height() * 3 / 2);
  CentreOnScreen(this);
  m_state.m_splitSearchOpen = true;
}

void CSplitSearchDlg::Search() {
  m_searching = true;
  m_sincePaint.start();
  m_search.Search(m_state);
  m_searching = false;
  ShowResults();
  // The price levels, once the search is over, so that they cost nothing while it runs.
  ReadCandidatePrices(m_state.fs(), &m_candidates);
  Relist();
}

void CSplitSearchDlg::ShowProgress() {
  // The controls always hold the latest, so that a message box of the search shows them.
  ShowResults();
  if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kPaintIntervalMs) return;
  // A synchronous paint: the search takes no input meanwhile.
  repaint();
  m_sincePaint.restart();
}

void CSplitSearchDlg::ShowResults() {
  const auto& lines = m_search.lines();
  const SplitCandidateFilter filter = Filter();
  for (std::size_t i = m_candidates.size(); i < lines.size(); ++i) {
    SplitCandidate candidate;
    // Every line the search writes parses; one that did not would stay hidden.
    (void)ParseSplitCandidateLine(lines[i], &candidate);
    candidate.dir = m_state.m_portfolioDir;
    m_candidates.push_back(candidate);
    if (!ShowsCandidate(filter, candidate)) continue;
    auto* item = new QListWidgetItem(FromMessage(m_state.m_codePage, lines[i]), m_results);
    item->setData(kCandidateRole, QVariant::fromValue(static_cast<qulonglong>(i)));
    m_shown.push_back(i);
  }
  m_status->setText(FromMessage(m_state.m_codePage, m_search.status()));
  m_saveButton->setEnabled(m_search.canSave());
}

SplitCandidateFilter CSplitSearchDlg::Filter() const {
  SplitCandidateFilter filter;
  for (std::size_t i = 0; i < m_ratios.size(); ++i) filter.ratios[i] = m_ratios[i]->isChecked();
  filter.minimumPrice = std::strtof(ToLatin1(m_minimumPrice->text()).c_str(), nullptr);
  return filter;
}

long CSplitSearchDlg::CurrentCandidate() const {
  const QListWidgetItem* item = m_results->currentItem();
  return item ? static_cast<long>(item->data(kCandidateRole).toULongLong()) : -1;
}

void CSplitSearchDlg::Relist() {
  const long current = CurrentCandidate();
  m_shown = ShownCandidates(m_candidates, Filter(), static_cast<CandidateOrder>(m_order->currentIndex()));
  m_results->clear();
  const auto& lines = m_search.lines();
  for (std::size_t i : m_shown) {
    auto* item = new QListWidgetItem(FromMessage(m_state.m_codePage, lines[i]), m_results);
    item->setData(kCandidateRole, QVariant::fromValue(static_cast<qulonglong>(i)));
    if (static_cast<long>(i) == current) m_results->setCurrentItem(item);
  }
  emit ShownChanged();
}

void CSplitSearchDlg::SaveAs() {
  const QString path = m_savePrompt(this, {QStringLiteral("result"), true});
  if (path.isEmpty()) return;
  (void)m_search.SaveResults(m_state.fs(), m_state.ui(), ToPath(path));
}

void CSplitSearchDlg::done(int result) {
  // A window manager's close request must not end a search halfway.
  if (m_searching) return;
  m_state.m_splitSearchOpen = false;
  QDialog::done(result);
  deleteLater();
}
