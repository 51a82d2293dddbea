// The delete symbol dialog.
#include "gui/delete_symbol_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "tools/delete_symbol.h"

namespace {

constexpr std::size_t kSymbolTextLimit = 100;

}  // namespace

CDeleteSymbolDlg::CDeleteSymbolDlg(const std::string& symbol, const barvane::CodePage& page, QWidget* parent)
    : QDialog(parent), m_symbol(FromFileText(page, symbol.substr(0, kSymbolTextLimit))) {
  setWindowTitle(QString::fromLatin1(barvane::kDeleteSymbolTitle));
  auto* box = new QGroupBox(QString::fromLatin1(barvane::kDeleteSymbolGroupText), this);
  auto* shown = new QLabel(m_symbol, box);
  shown->setAlignment(Qt::AlignCenter);
  (new QVBoxLayout(box))->addWidget(shown);
  auto* question = new QLabel(QString::fromLatin1(barvane::kDeleteSymbolQuestion), this);
  auto* buttons = new QDialogButtonBox(this);
  m_yes = buttons->addButton(QStringLiteral("Yes"), QDialogButtonBox::AcceptRole);
  m_no = buttons->addButton(QStringLiteral("No"), QDialogButtonBox::RejectRole);
  // Enter answers No unless the user moved to Yes: a deletion has no undo.
  m_yes->setAutoDefault(false);
  m_no->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addWidget(question);
  layout->addWidget(buttons);
  adjustSize();
}

QString CDeleteSymbolDlg::symbolText() const { return m_symbol; }

void CDeleteSymbolDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred over the main window, not the screen, as this one dialog always was.
  if (const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
    const QRect frame = owner->frameGeometry();
    move(frame.center() - rect().center());
  }
  m_no->setFocus();
}
