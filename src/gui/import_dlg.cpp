// The import dialog.
#include "gui/import_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "data/code_page.h"
#include "data/file_ops.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

namespace {

// The widest the table grows, so that the dialog fits a screen of 800 by 600.
constexpr int kWidestTable = 760;

// Sizes `dialog` to what its content asks for, within its maximum and the screen (its frame
// included), and centres it again. Unlike adjustSize, which keeps a window to two thirds of
// the screen and so squeezes the fields of a small one.
void FitToContent(QWidget* dialog) {
  QSize most = dialog->maximumSize();
  if (const QScreen* screen = dialog->screen()) {
    const QSize frame = dialog->frameGeometry().size() - dialog->geometry().size();
    most = most.boundedTo(screen->availableGeometry().size() - frame);
  }
  QSize size = dialog->sizeHint().expandedTo(dialog->minimumSizeHint());
  if (dialog->layout()->hasHeightForWidth())
    size.setHeight(std::max(size.height(), dialog->layout()->totalHeightForWidth(size.width())));
  dialog->resize(size.boundedTo(most));
  CentreOnScreen(dialog);
}

// One quote as it will be stored: its date with four digits to the year, its time for an
// intraday text, and the numbers of the columns the text has as the export writes them.
std::string RowText(const ImportedText& quotes, const ImportedQuote& quote) {
  const Ymd ymd = DayToYmd(quote.day);
  char part[48];
  std::snprintf(part, sizeof part, "%02d/%02d/%04d", ymd.month, ymd.day, ymd.year + 1900);
  std::string text = part;
  if (quotes.intraday) {
    std::snprintf(part, sizeof part, " %02d:%02d:%02d", quote.seconds / 3600,
                  quote.seconds / 60 % 60, quote.seconds % 60);
    text += part;
  }
  for (std::size_t c = 0; c < kImportColumnCount; ++c) {
    if (!quotes.columns[c]) continue;
    if (quote.present[c])
      std::snprintf(part, sizeof part, c < 4 ? " %.4f" : " %.2f", double(quote.values[c]));
    text += quote.present[c] ? part : " N/A";
  }
  return text;
}

// What the reading found: the column of each field, the date order, what it leaves out.
std::string FoundText(const ImportedText& quotes, bool orderChosen) {
  static const char* const kFields[kImportFieldCount] = {"Date", "Time",  "Open",   "High",
                                                         "Low",  "Close", "Volume", "Open interest"};
  std::string text = "Columns:";
  for (std::size_t f = 0; f < kImportFieldCount; ++f) {
    if (!quotes.found[f].empty()) text += std::string(f == 0 ? " " : ", ") + kFields[f] + " = " + quotes.found[f];
  }
  text += "\nDates: " + (quotes.order == DateOrder::kUndecided
                             ? std::string("as written")
                             : DateOrderText(quotes.order) + (orderChosen ? " (chosen)" : ", " + quotes.orderReason));
  if (quotes.encoding != kUtf8Name) text += "\nEncoding: " + CodePageTitle(quotes.encoding);
  const int skipped = quotes.lines - static_cast<int>(quotes.quotes.size());
  if (skipped > 0) text += "\nLines ignored: " + std::to_string(skipped) + " (title row and blank lines)";
  if (!quotes.ignored.empty()) {
    text += "\nColumns ignored:";
    for (std::size_t i = 0; i < quotes.ignored.size(); ++i) text += (i ? ", " : " ") + quotes.ignored[i];
  }
  for (const std::string& note : quotes.notes) text += "\n" + note;
  if (quotes.tickers.size() > 1) {
    text += "\nTickers, each into its own symbol:";
    for (std::size_t t = 0; t < quotes.tickers.size(); ++t) text += (t ? ", " : " ") + quotes.tickers[t];
  }
  return text + "\n";
}

}  // namespace

CImportDlg::CImportDlg(FileSystem& fs, const ImportRequest& proposal, bool newSymbol,
                       QWidget* parent)
    : QDialog(parent),
      m_fs(fs),
      m_file(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("Browse..."), this)),
      m_dates(new QComboBox(this)),
      m_encoding(new QComboBox(this)),
      m_adjusted(new QCheckBox(QStringLiteral("Take the adjusted close as Close"), this)),
      m_table(new QTableWidget(this)),
      m_preview(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      m_fixed(proposal) {
  setWindowTitle(QString::fromLatin1(kImportTitle));
  m_file->setMinimumWidth(m_file->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('x'))));
  m_browse->setAutoDefault(false);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(m_file, 1);
  fileRow->addWidget(m_browse);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Text file:"), fileRow);
  if (newSymbol) {
    m_folder = new QLineEdit(FromPath(proposal.dir), this);
    m_symbol = new QLineEdit(FromLatin1(proposal.symbol), this);
    m_name = new QLineEdit(FromLatin1(proposal.name), this);
    m_symbol->setMaxLength(static_cast<int>(kImportSymbolLimit));
    m_name->setMaxLength(static_cast<int>(kImportNameLimit));
    form->addRow(QStringLiteral("Portfolio folder:"), m_folder);
    form->addRow(QStringLiteral("Symbol:"), m_symbol);
    form->addRow(QStringLiteral("Name:"), m_name);
    for (QLineEdit* edit : {m_folder, m_symbol})
      connect(edit, &QLineEdit::editingFinished, this, &CImportDlg::Preview);
  } else {
    m_replace = new QCheckBox(QStringLiteral("Replace the days the series has"), this);
    form->addRow(QString(), m_replace);
    connect(m_replace, &QCheckBox::toggled, this, &CImportDlg::Preview);
  }
  m_dates->addItems({QStringLiteral("As the file tells"), QStringLiteral("Day/month/year"),
                     QStringLiteral("Month/day/year"), QStringLiteral("Year/month/day")});
  form->addRow(QStringLiteral("Dates:"), m_dates);
  m_encoding->addItem(QStringLiteral("As the bytes tell"));
  for (const std::string& name : ImportEncodingNames()) {
    m_encoding->addItem(QString::fromStdString(CodePageTitle(name)), QString::fromStdString(name));
  }
  form->addRow(QStringLiteral("Encoding:"), m_encoding);
  form->addRow(QString(), m_adjusted);
  connect(m_encoding, &QComboBox::currentIndexChanged, this, &CImportDlg::Preview);
  connect(m_dates, &QComboBox::currentIndexChanged, this, &CImportDlg::Preview);
  connect(m_adjusted, &QCheckBox::toggled, this, &CImportDlg::Preview);
  m_preview->setTextFormat(Qt::PlainText);
  m_preview->setWordWrap(true);
  m_preview->setMinimumHeight(m_preview->fontMetrics().height() * 4);
  // Ten rows of cells, and no more than a window of 800 by 600 leaves room for.
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionMode(QAbstractItemView::NoSelection);
  m_table->setFocusPolicy(Qt::NoFocus);
  m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
  m_table->setMinimumHeight(m_table->verticalHeader()->defaultSectionSize() * 6);
  m_table->setMaximumHeight(m_table->verticalHeader()->defaultSectionSize() * 12);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_table, 1);
  layout->addWidget(m_preview);
  layout->addWidget(m_buttons);
  setMaximumSize(800, 600);
  // Text file, Browse, then what names the symbol, then how the text is read, then OK.
  QWidget* previous = m_file;
  for (QWidget* next : std::initializer_list<QWidget*>{m_browse, m_folder, m_symbol, m_name, m_replace, m_dates,
                                                       m_encoding, m_adjusted, okButton()}) {
    if (next == nullptr) continue;
    setTabOrder(previous, next);
    previous = next;
  }
  connect(m_browse, &QPushButton::clicked, this, &CImportDlg::Browse);
  connect(m_file, &QLineEdit::editingFinished, this, &CImportDlg::Preview);
  connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  okButton()->setEnabled(false);
  CentreOnScreen(this);
}

QPushButton* CImportDlg::okButton() const { return m_buttons->button(QDialogButtonBox::Ok); }

ImportRequest CImportDlg::request() const {
  ImportRequest request = m_fixed;
  if (m_folder) {
    request.dir = ToPath(m_folder->text());
    request.symbol = ToLatin1(m_symbol->text().trimmed());
    request.name = ToLatin1(m_name->text());
  }
  if (m_replace) request.replace = m_replace->isChecked();
  request.byTicker = m_folder != nullptr && m_quotes.tickers.size() > 1;
  return request;
}

void CImportDlg::Browse() {
  const QString chosen =
      QFileDialog::getOpenFileName(this, QString::fromLatin1(kImportTitle), m_file->text(),
                                   QStringLiteral("Text Files (*.txt *.csv);;All Files (*)"));
  if (chosen.isEmpty()) return;
  m_file->setText(chosen);
  Preview();
}

void CImportDlg::ShowTable() {
  const ImportPreview& preview = m_quotes.preview;
  std::size_t columns = preview.fields.size();
  for (const auto& row : preview.rows) columns = std::max(columns, row.size());
  m_table->clear();
  m_table->setColumnCount(static_cast<int>(columns));
  m_table->setRowCount(static_cast<int>(preview.rows.size()));
  QStringList headings, lines;
  for (std::size_t c = 0; c < columns; ++c) {
    headings << (c < preview.fields.size() ? QString::fromStdString(preview.fields[c])
                                           : QStringLiteral("column %1").arg(c + 1));
  }
  for (std::size_t r = 0; r < preview.rows.size(); ++r) {
    lines << QString::number(preview.lines[r]);
    for (std::size_t c = 0; c < preview.rows[r].size(); ++c) {
      m_table->setItem(static_cast<int>(r), static_cast<int>(c),
                       new QTableWidgetItem(QString::fromStdString(preview.rows[r][c])));
    }
  }
  m_table->setHorizontalHeaderLabels(headings);
  m_table->setVerticalHeaderLabels(lines);
  m_table->resizeColumnsToContents();
  // As wide as the cells need, within a screen of 800 by 600.
  int width = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth() +
              m_table->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < m_table->columnCount(); ++c) width += m_table->columnWidth(c);
  m_table->setMinimumWidth(std::min(width, kWidestTable));
  if (isVisible()) FitToContent(this);
}

void CImportDlg::Preview() {
  okButton()->setEnabled(false);
  m_quotes = ImportedText{};
  ShowTable();
  if (m_file->text().isEmpty()) {
    m_preview->clear();
    return;
  }
  Bytes bytes;
  std::string error;
  if (!ReadWholeFile(m_fs, ToPath(m_file->text()), &bytes)) {
    m_preview->setText(QStringLiteral("The file cannot be read."));
    return;
  }
  ImportOptions options;
  options.dates = static_cast<DateOrder>(m_dates->currentIndex());
  options.adjusted = m_adjusted->isChecked();
  if (m_encoding->currentIndex() > 0) options.encoding = m_encoding->currentData().toString().toStdString();
  const bool read =
      ReadImportText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     options, &m_quotes, &error);
  ShowTable();
  if (!read) {
    m_preview->setText(QString::fromUtf8(error));
    return;
  }
  // A new file proposes its symbol and name afresh: its one ticker, else its file name.
  if (m_folder && m_proposedFor != m_file->text()) {
    m_proposedFor = m_file->text();
    if (m_quotes.tickers.size() == 1) {
      m_symbol->setText(QString::fromUtf8(m_quotes.tickers.front()).left(int(kImportSymbolLimit)));
      m_name->setText(QString::fromUtf8(m_quotes.names.front()).left(int(kImportNameLimit)));
    } else if (m_symbol->text().isEmpty()) {
      m_symbol->setText(QFileInfo(m_file->text()).completeBaseName().left(int(kImportSymbolLimit)));
    }
  }
  if (m_symbol) m_symbol->setEnabled(m_quotes.tickers.size() <= 1);
  if (m_name) m_name->setEnabled(m_quotes.tickers.size() <= 1);
  const std::string found = FoundText(m_quotes, options.dates != DateOrder::kUndecided);
  for (std::vector<std::string>* texts : {&m_quotes.tickers, &m_quotes.names}) {
    for (std::string& text : *texts) text = ToLatin1(QString::fromUtf8(text));
  }
  ImportPlanSummary summary;
  if (!PlanImport(m_fs, request(), m_quotes, &summary, &error)) {
    m_preview->setText(FromLatin1(error));
    return;
  }
  std::string text = found + "First row: " + RowText(m_quotes, m_quotes.quotes.front()) +
                     "\nLast row: " + RowText(m_quotes, m_quotes.quotes.back()) + "\n";
  if (summary.newPortfolio)
    text += "A new portfolio with a new symbol.\n";
  else if (summary.newSymbol)
    text += "A new symbol (file number " + std::to_string(summary.fileNumber) + ").\n";
  text += "New days: " + std::to_string(summary.added) +
          "   Replaced: " + std::to_string(summary.replaced) +
          "   Kept: " + std::to_string(summary.kept);
  m_preview->setText(QString::fromUtf8(text));
  okButton()->setEnabled(true);
}
