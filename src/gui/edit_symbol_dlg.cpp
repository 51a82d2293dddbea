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

QLineEdit* TextField(const std::string& text, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setMaxLength(static_cast<int>(kEditSymbolTextLimit));
  field->setText(FromLatin1(text));
  return field;
}

QGroupBox* Framed(const QString& title, QWidget* field, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  (new QVBoxLayout(box))->addWidget(field);
  return box;
}

bool IsLatin1(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() > 0xFF) return false;
  }
  return true;
}

}  // namespace

CEditSymbolDlg::CEditSymbolDlg(Ui& ui, const SymbolTexts& texts, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_symbol(TextField(texts.symbol, this)), m_name(TextField(texts.name, this)) {
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
  return {ToLatin1(m_symbol->text()), ToLatin1(m_name->text())};
}

void CEditSymbolDlg::accept() {
  // A character outside Latin-1 would reach the file as "?", not as typed.
  if (!IsLatin1(m_symbol->text()) || !IsLatin1(m_name->text())) {
    m_ui.ShowMessage("The symbol and the name may hold only Latin-1 characters", MessageIcon::kWarning);
    return;
  }
  if (const std::string problem = SymbolTextsProblem(texts()); !problem.empty()) {
    m_ui.ShowMessage(problem, MessageIcon::kWarning);
    return;
  }
  QDialog::accept();
}
