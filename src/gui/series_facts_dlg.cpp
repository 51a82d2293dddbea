// The series facts dialog: two group boxes of labels and their values.
#include "gui/series_facts_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <cstdio>

#include "gui/qt_text.h"

namespace {


QString DateValue(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%6.0f", static_cast<double>(value));
  return QString::fromLatin1(text);
}

}  // namespace

CSeriesFactsDlg::CSeriesFactsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Selected Quote Series"));
  auto* layout = new QGridLayout(this);
  // The path stands right after its label, not in the value column of the group below.
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(new QLabel(QStringLiteral("Path:"), this));
  pathRow->addWidget(Value(), 1);
  layout->addLayout(pathRow, 0, 0, 1, 3);

  auto* master = new QGroupBox(QStringLiteral("Data from Master and DAT files"), this);
  auto* masterLayout = new QGridLayout(master);
  const char* masterLabels[] = {"File number",    "DAT file record length", "DAT file number of fields",
                                "Number of quotes", "Name of issue",       "First date in file",
                                "Last date in file", "Data format",        "Symbol"};
  for (int i = 0; i < 9; ++i) {
    masterLayout->addWidget(new QLabel(QString::fromLatin1(masterLabels[i]), master), i, 0);
    masterLayout->addWidget(Value(), i, 1);
  }

  auto* dop = new QGroupBox(QStringLiteral("Data from DOP file (may be synthetic)"), this);
  auto* dopLayout = new QGridLayout(dop);
  dopLayout->addWidget(new QLabel(QStringLiteral("Field"), dop), 0, 0);
  dopLayout->addWidget(new QLabel(QStringLiteral("Input"), dop), 0, 1);
  dopLayout->addWidget(new QLabel(QStringLiteral("Display"), dop), 0, 2);
  const char* fieldLabels[] = {"Date", "Time", "Open", "High", "Low", "Close", "Vol", "OI"};
  for (int i = 0; i < 8; ++i) {
    dopLayout->addWidget(new QLabel(QString::fromLatin1(fieldLabels[i]), dop), i + 1, 0);
    dopLayout->addWidget(Value(), i + 1, 1);
    dopLayout->addWidget(Value(), i + 1, 2);
  }
  layout->addWidget(master, 1, 0, 1, 2);
  layout->addWidget(dop, 1, 2);
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(ok, 2, 2);
}

QLabel* CSeriesFactsDlg::Value() {
  auto* label = new QLabel(this);
  label->setTextFormat(Qt::PlainText);
  label->setMinimumWidth(60);
  m_values.push_back(label);
  return label;
}

void CSeriesFactsDlg::SetFacts(const barvane::SeriesFacts& facts, const barvane::CodePage& page) {
  QStringList texts = {FromPath(facts.path).left(300),
                       QString::number(facts.fileNumber).left(5),
                       QString::number(facts.recordLength),
                       QString::number(facts.fieldCount),
                       QString::number(facts.quotes),
                       FromFileText(page, facts.name),
                       DateValue(facts.firstDate),
                       DateValue(facts.lastDate),
                       FromLatin1(facts.dataFormat),
                       FromFileText(page, facts.symbol)};
  for (std::size_t q = 0; q < barvane::kQuantityCount; ++q) {
    texts << FromLatin1(facts.inputFormat[q]) << FromLatin1(facts.displayFormat[q]);
  }
  for (int i = 0; i < texts.size(); ++i) m_values[static_cast<std::size_t>(i)]->setText(texts[i]);
}

QStringList CSeriesFactsDlg::texts() const {
  QStringList texts;
  for (const QLabel* label : m_values) texts << label->text();
  return texts;
}
