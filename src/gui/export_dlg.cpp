// The export dialog.
#include "gui/export_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/screen_centre.h"

using namespace barvane;

namespace {

constexpr const char* kOmitTexts[kExportColumnCount] = {"Open", "High", "Low", "Close", "Volume", "Open Interest"};

QGroupBox* RadioGroup(const QString& title, QButtonGroup* group, std::initializer_list<const char*> texts,
                      QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  int id = 0;
  for (const char* text : texts) {
    auto* button = new QRadioButton(QString::fromLatin1(text), box);
    group->addButton(button, id++);
    layout->addWidget(button);
  }
  layout->addStretch(1);
  return box;
}

}  // namespace

CExportDlg::CExportDlg(Ui& ui, const ExportChoices& choices, QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_path(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("Browse..."), this)),
      m_delimiters(new QButtonGroup(this)),
      m_order(new QButtonGroup(this)),
      m_title(new QCheckBox(QStringLiteral("Add title row"), this)),
      m_omitTime(new QCheckBox(QStringLiteral("Time"), this)) {
  setWindowTitle(QString::fromLatin1(kExportTitle));
  m_path->setMaxLength(static_cast<int>(kExportPathLimit));
  m_path->setText(FromPath(choices.path));
  m_path->setMinimumWidth(m_path->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('x'))));
  m_browse->setAutoDefault(false);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(m_path, 1);
  pathRow->addWidget(m_browse);

  auto* omit = new QGroupBox(QStringLiteral("Omit these columns"), this);
  auto* omitLayout = new QGridLayout(omit);
  for (int c = 0; c < kExportColumnCount; ++c) {
    auto* box = new QCheckBox(QString::fromLatin1(kOmitTexts[c]), omit);
    box->setChecked(choices.omit[static_cast<std::size_t>(c)]);
    m_omit[static_cast<std::size_t>(c)] = box;
    omitLayout->addWidget(box, c % 3, c / 3);
  }
  m_omitTime->setChecked(choices.omitTime);
  omitLayout->addWidget(m_omitTime, 0, 2);

  QGroupBox* delimiters =
      RadioGroup(QStringLiteral("Column Delimiters"), m_delimiters, {"Space", "Comma", "Tab"}, this);
  // A stored delimiter outside 0 to 2 leaves every button clear.
  if (QAbstractButton* button = m_delimiters->button(choices.delimiter)) button->setChecked(true);
  QGroupBox* order =
      RadioGroup(QStringLiteral("Order"), m_order, {"Oldest quote first", "Newest quote first"}, this);
  m_order->button(choices.newestFirst ? 1 : 0)->setChecked(true);
  auto* title = new QGroupBox(QStringLiteral("Title"), this);
  (new QVBoxLayout(title))->addWidget(m_title);
  m_title->setChecked(choices.titleRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_browse, &QPushButton::clicked, this, &CExportDlg::Browse);

  auto* grid = new QGridLayout;
  grid->addWidget(omit, 0, 0, 1, 2);
  grid->addWidget(delimiters, 1, 0);
  grid->addWidget(order, 1, 1);
  grid->addWidget(title, 2, 0, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  adjustSize();
  CentreOnScreen(this);
}

QAbstractButton* CExportDlg::delimiterButton(int choice) const { return m_delimiters->button(choice); }
QAbstractButton* CExportDlg::orderButton(int choice) const { return m_order->button(choice); }

ExportChoices CExportDlg::choices() const {
  ExportChoices choices;
  choices.path = ToPath(m_path->text());
  choices.delimiter = m_delimiters->checkedId();
  for (std::size_t c = 0; c < m_omit.size(); ++c) choices.omit[c] = m_omit[c]->isChecked();
  choices.titleRow = m_title->isChecked();
  choices.omitTime = m_omitTime->isChecked();
  choices.newestFirst = m_order->checkedId() == 1;
  return choices;
}

void CExportDlg::Browse() {
  const QString path = m_savePrompt(this, {m_path->text(), false});
  if (path.isEmpty()) return;
  // The field would cut a longer path short, and the export would then write elsewhere.
  if (path.size() > static_cast<qsizetype>(kExportPathLimit)) {
    m_ui.ShowMessage("Enter no more than 200 characters for the path.\n" + ToPath(path), MessageIcon::kWarning);
    return;
  }
  m_path->setText(path);
}
