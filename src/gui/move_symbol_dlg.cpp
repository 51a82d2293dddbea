// The move and copy symbol dialog.
#include "gui/move_symbol_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"
#include "tools/copy_symbol.h"

namespace {


QLabel* Heading(const char* text, QWidget* parent) { return new QLabel(QString::fromLatin1(text), parent); }

}  // namespace

CMoveSymbolDlg::CMoveSymbolDlg(const std::vector<std::string>& destinations, bool move,
                               const MoveSymbolTexts& texts, QWidget* parent)
    : QDialog(parent),
      m_destinations(destinations),
      m_list(new QListWidget(this)),
      m_symbol(new QLabel(QString::fromStdString(texts.symbol), this)),
      m_name(new QLabel(QString::fromStdString(texts.name), this)),
      m_portfolio(new QLabel(FromPath(texts.portfolio), this)) {
  setWindowTitle(QString::fromLatin1(move ? barvane::kMoveSymbolTitle : barvane::kCopySymbolTitle));
  m_list->setSortingEnabled(true);
  m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  int widest = 0;
  for (std::size_t i = 0; i < m_destinations.size(); ++i) {
    auto* item = new QListWidgetItem(FromPath(m_destinations[i]));
    // The entry keeps the directory's own bytes for OK.
    item->setData(Qt::UserRole, static_cast<qulonglong>(i));
    m_list->addItem(item);
    widest = std::max(widest, m_list->fontMetrics().horizontalAdvance(item->text()));
  }
  if (m_list->count() > 0) m_list->setCurrentRow(0);
  m_list->setMinimumWidth(std::min(widest + 40, 520));
  // The values stand out from their headings, as they would in their own fields.
  for (QLabel* value : {m_symbol, m_name, m_portfolio}) {
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    value->setContentsMargins(12, 0, 0, 4);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMoveSymbolDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Heading("You have chosen Symbol:", this));
  layout->addWidget(m_symbol);
  layout->addWidget(Heading("with Name:", this));
  layout->addWidget(m_name);
  layout->addWidget(Heading("presently in Portfolio:", this));
  layout->addWidget(m_portfolio);
  layout->addSpacing(8);
  layout->addWidget(Heading("Select destination portfolio and click OK", this));
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
  adjustSize();
  CentreOnScreen(this);
}

void CMoveSymbolDlg::accept() {
  if (const QListWidgetItem* item = m_list->currentItem(); item && item->isSelected()) {
    m_destination = m_destinations[item->data(Qt::UserRole).toULongLong()];
  }
  QDialog::accept();
}
