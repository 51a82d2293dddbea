// The split search window.
#include "gui/split_search_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

namespace {

constexpr int kStatusLimit = 25;
constexpr qint64 kPaintIntervalMs = 100;

}  // namespace

CSplitSearchDlg::CSplitSearchDlg(ViewState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_state(state),
      m_results(new QListWidget(this)),
      m_status(new QLabel(this)),
      m_searchButton(new QPushButton(QStringLiteral("Search"), this)),
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
  m_status->setAlignment(Qt::AlignCenter);
  // Room for the longest status the window keeps (25 characters) without resizing.
  m_status->setMinimumWidth(m_status->fontMetrics().horizontalAdvance(QString(kStatusLimit, QLatin1Char('W'))));

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_searchButton);
  buttons->addWidget(m_saveButton);
  buttons->addStretch(1);
  buttons->addWidget(m_closeButton);
  m_searchButton->setDefault(true);
  m_saveButton->setEnabled(false);

  auto* layout = new QGridLayout(this);
  layout->addWidget(group, 0, 0);
  layout->addLayout(buttons, 0, 1);
  layout->addWidget(new QLabel(QStringLiteral("Search results should be confirmed before editing data."), this),
                    1, 0, 1, 2);
  connect(m_searchButton, &QPushButton::clicked, this, &CSplitSearchDlg::Search);
  connect(m_saveButton, &QPushButton::clicked, this, &CSplitSearchDlg::SaveAs);
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
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
  for (auto i = static_cast<std::size_t>(m_results->count()); i < lines.size(); ++i) {
    m_results->addItem(FromLatin1(lines[i]));
  }
  m_status->setText(FromLatin1(m_search.status()));
  m_saveButton->setEnabled(m_search.canSave());
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
