// CScanProgressDlg: the window shown while a drive is walked for portfolios.
#pragma once

#include <QDialog>

class QLabel;

class CScanProgressDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CScanProgressDlg(QWidget* owner);

  void SetProgress(const QString& dir, int found);
  bool cancelled() const { return m_cancelled; }

 private:
  QLabel* m_path;
  QLabel* m_count;
  bool m_cancelled = false;
};
