// CSearchFilterDlg: the Portfolio Search Filter dialog. OK refuses a path on no listed drive
// while the filter is on.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;

class CSearchFilterDlg final : public QDialog {
  Q_OBJECT

 public:
  CSearchFilterDlg(std::vector<std::string> drives, QWidget* parent);

  void SetMessageHandler(std::function<void(const std::string&)> show) { m_show = std::move(show); }
  int exec() override;
  void accept() override;

  bool m_limit = false;
  QString m_path;

  QCheckBox* limitBox() const { return m_limitBox; }
  QLineEdit* pathEdit() const { return m_pathEdit; }

 private:
  std::vector<std::string> m_drives;
  std::function<void(const std::string&)> m_show;
  QCheckBox* m_limitBox;
  QLineEdit* m_pathEdit;
};
