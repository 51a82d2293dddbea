// The import dialog.
#include "gui/import_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/file_ops.h"
#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

namespace {

// One quote as the preview shows it: its date and the numbers of the columns the text has.
std::string RowText(const ImportedText& quotes, const ImportedQuote& quote) {
  std::string text = ScreenDate(quote.day);
  for (int c = 0; c < kImportColumnCount; ++c) {
    if (!quotes.columns[static_cast<std::size_t>(c)]) continue;
    text += ' ';
    text += quote.present[static_cast<std::size_t>(c)]
                ? std::to_string(quote.values[static_cast<std::size_t>(c)])
                : std::string("N/A");
  }
  return text;
}

}  // namespace

CImportDlg::CImportDlg(FileSystem& fs, const ImportRequest& proposal, bool newSymbol,
                       QWidget* parent)
    : QDialog(parent),
      m_fs(fs),
      m_file(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("Browse..."), this)),
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
  m_preview->setTextFormat(Qt::PlainText);
  m_preview->setMinimumHeight(m_preview->fontMetrics().height() * 4);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_preview);
  layout->addWidget(m_buttons);
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

void CImportDlg::Preview() {
  okButton()->setEnabled(false);
  m_quotes = ImportedText{};
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
  if (!ReadImportText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      ImportOptions{}, &m_quotes, &error)) {
    m_preview->setText(FromLatin1(error));
    return;
  }
  ImportPlanSummary summary;
  if (!PlanImport(m_fs, request(), m_quotes, &summary, &error)) {
    m_preview->setText(FromLatin1(error));
    return;
  }
  std::string text = "First row: " + RowText(m_quotes, m_quotes.quotes.front()) +
                     "\nLast row: " + RowText(m_quotes, m_quotes.quotes.back()) + "\n";
  if (summary.newPortfolio)
    text += "A new portfolio with a new symbol.\n";
  else if (summary.newSymbol)
    text += "A new symbol (file number " + std::to_string(summary.fileNumber) + ").\n";
  text += "New days: " + std::to_string(summary.added) +
          "   Replaced: " + std::to_string(summary.replaced) +
          "   Kept: " + std::to_string(summary.kept);
  m_preview->setText(FromLatin1(text));
  okButton()->setEnabled(true);
}
