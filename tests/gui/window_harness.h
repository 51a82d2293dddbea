// GUI test support: the real main window over a one-drive file system of its own, with its own
// settings, started, recording its messages and answering its questions, and a way to answer
// the modal dialog that a command opens.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "gui/chart_pane.h"
#include "gui/main_frame.h"
#include "support/portfolio_builder.h"
#include "support/single_drive_fs.h"

namespace barvane::test {

struct GuiWindow {
  GuiWindow() {
    bool created = false;
    EXPECT_TRUE(settings.OpenRootKey(config.path(), &created));
  }

  // Creates the window over what the drive holds now, not yet shown.
  void Create() {
    frame = std::make_unique<CMainFrame>(fs, settings, [this](const std::string& text, MessageIcon icon) {
      messages.push_back(text);
      icons.push_back(icon);
      if (onMessage) onMessage(text);
    });
    frame->view()->ui().SetQuestionHandler([this](const std::string& text) {
      questions.push_back(text);
      return answer;
    });
    frame->view()->ui().SetChoiceHandler([this](const std::string& text) {
      questions.push_back(text);
      return choice;
    });
  }
  // Shows the window, created first unless it is, and waits for its start.
  void Open() {
    if (!frame) Create();
    frame->show();
    EXPECT_TRUE(QTest::qWaitFor([this] { return frame->view()->started(); }, 5000));
  }
  // Builds `portfolio` as P on the drive, then shows the window.
  void Open(PortfolioDescription portfolio) {
    Build(Dir("P"), std::move(portfolio));
    Open();
  }

  ViewState& state() { return frame->view()->state(); }
  std::string Dir(const std::string& name) const { return fs.drive() + "/" + name; }
  bool Enabled(CommandId command) const { return frame->action(command)->isEnabled(); }
  // The portfolio list's paths, its current row, and a pick of one as a click makes it.
  std::vector<std::string> Portfolios() const {
    std::vector<std::string> paths;
    const QAbstractItemModel* list = frame->view()->portfolioList()->model();
    for (int r = 0; r < list->rowCount(); ++r) paths.push_back(list->index(r, 0).data().toString().toStdString());
    return paths;
  }
  int PortfolioRow() const { return frame->view()->portfolioList()->currentIndex().row(); }
  void PickPortfolio(int row) {
    QTableView* list = frame->view()->portfolioList();
    list->setCurrentIndex(list->model()->index(row, 0));
  }

  // A cell's text in the symbol or the quote grid.
  std::string SymbolCell(int row, int column = 0) const { return CellText(frame->view()->symbolGrid(), row, column); }
  std::string QuoteCell(int row, int column) const { return CellText(frame->view()->quoteGrid(), row, column); }
  static std::string CellText(const QAbstractItemView* view, int row, int column) {
    return view->model()->index(row, column).data().toString().toStdString();
  }
  // A click on a cell, brought into view first, and on a column's header, as the user makes them.
  static void Click(QAbstractItemView* view, int row, int column = 0) {
    const QModelIndex cell = view->model()->index(row, column);
    view->scrollTo(cell);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
  }
  static void ClickHeader(QHeaderView* header, int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  }

  // "row label" for each mark on the chart, each checked to be of `kind`.
  std::vector<std::string> Marks(CChartPane::MarkKind kind) const {
    std::vector<std::string> marks;
    for (const CChartPane::Mark& mark : frame->view()->chartPane()->marks()) {
      EXPECT_EQ(mark.kind, kind);
      marks.push_back(std::to_string(mark.row) + " " + mark.label.toStdString());
    }
    return marks;
  }

  // `act` is called with the modal dialog of type T that the next step opens.
  template <typename T>
  static void WhenOpens(std::function<void(T*)> act) {
    QTimer::singleShot(0, [act] {
      ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<T*>(QApplication::activeModalWidget()) != nullptr; }, 2000));
      act(qobject_cast<T*>(QApplication::activeModalWidget()));
    });
  }
  // Runs `command`; `act` is called with its modal dialog, a T, once it is open.
  template <typename T = QDialog>
  void Run(CommandId command, std::function<void(std::type_identity_t<T>*)> act) {
    WhenOpens<T>(std::move(act));
    frame->view()->RunCommand(command);
  }
  static void Ok(QDialog* d) { d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }
  static void Cancel(QDialog* d) { d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click(); }

  TempDir drive, config;
  SingleDriveFs fs{drive.path()};
  SettingsStore settings{fs};
  std::unique_ptr<CMainFrame> frame;
  std::vector<std::string> messages, questions;
  std::vector<MessageIcon> icons;
  std::function<void(const std::string&)> onMessage;  // sees the window as each message shows
  bool answer = true;    // to every Yes/No question
  Answer choice = Answer::kYes;  // to every Yes/No/Cancel question
};

}  // namespace barvane::test
