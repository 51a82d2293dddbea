// CExportDlg: "Export", the file to write and the choices of columns, delimiter, order and
// title row for the export of the current series.
#pragma once

#include <QDialog>
#include <array>

#include "app/ui.h"
#include "exchange/export.h"
#include "gui/save_file_prompt.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

class CExportDlg final : public QDialog {
  Q_OBJECT

 public:
  CExportDlg(barvane::Ui& ui, const barvane::ExportChoices& choices, QWidget* parent);

  // The choices as the controls hold them; -1 for a delimiter when no button is set.
  barvane::ExportChoices choices() const;
  // Replaces the save-file dialog of "Browse..." (tests answer it).
  void SetSavePrompt(SaveFilePrompt prompt) { m_savePrompt = std::move(prompt); }

  QLineEdit* pathEdit() const { return m_path; }
  QPushButton* browseButton() const { return m_browse; }
  QCheckBox* omitBox(barvane::ExportColumn column) const { return m_omit[static_cast<std::size_t>(column)]; }
  // 0 "Space", 1 "Comma", 2 "Tab".
  QAbstractButton* delimiterButton(int choice) const;
  // 0 "Oldest quote first", 1 "Newest quote first".
  QAbstractButton* orderButton(int choice) const;
  QCheckBox* titleBox() const { return m_title; }
  QCheckBox* omitTimeBox() const { return m_omitTime; }

 private:
  void Browse();

  barvane::Ui& m_ui;
  SaveFilePrompt m_savePrompt = AskSaveFileName;
  QLineEdit* m_path;
  QPushButton* m_browse;
  std::array<QCheckBox*, barvane::kExportColumnCount> m_omit{};
  QButtonGroup* m_delimiters;
  QButtonGroup* m_order;
  QCheckBox* m_title;
  QCheckBox* m_omitTime;  // of a series with times
};
