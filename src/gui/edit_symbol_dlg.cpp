// The edit symbol dialog.
#include "gui/edit_symbol_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

namespace {

QLineEdit* TextField(const QString& text, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setMaxLength(static_cast<int>(kEditSymbolTextLimit));
  field->setText(text);
  return field;
}

QGroupBox* Framed(const QString& title, QWidget* field, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  (new QVBoxLayout(box))->addWidget(field);
  return box;
}

}  // namespace

CEditSymbolDlg::CEditSymbolDlg(Ui& ui, const CodePage& page, const SymbolTexts& texts, QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_page(page),
      m_symbol(TextField(FromFileText(page, texts.symbol), this)),
      m_name(TextField(FromFileText(page, texts.name), this)) {
  setWindowTitle(QString::fromLatin1(kEditSymbolTitle));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditSymbolDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Framed(QStringLiteral("Symbol"), m_symbol, this));
  layout->addWidget(Framed(QStringLiteral("Name"), m_name, this));
  layout->addWidget(buttons);
  setMinimumWidth(m_symbol->fontMetrics().horizontalAdvance(QString(24, QLatin1Char('M'))));
  adjustSize();
  CentreOnScreen(this);
}

SymbolTexts CEditSymbolDlg::texts() const {
  return {ToFileText(m_page, m_symbol->text()), ToFileText(m_page, m_name->text())};
}

void CEditSymbolDlg::accept() {
  // A character the code page has not would not reach the file as typed.
  for (const auto& [field, what] : {std::pair{m_symbol, "symbol"}, std::pair{m_name, "name"}}) {
    if (const std::string refusal = m_page.Refusal(field->text().toStdString(), what); !refusal.empty()) {
      m_ui.ShowMessage(refusal, MessageIcon::kWarning);
      return;
    }
  }
  if (const std::string problem = SymbolTextsProblem(texts()); !problem.empty()) {
    m_ui.ShowMessage(problem, MessageIcon::kWarning);
    return;
  }
  QDialog::accept();
}
