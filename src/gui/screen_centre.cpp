// Centring on the primary screen.
#include "gui/screen_centre.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* widget) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QSize area = screen->geometry().size();
  // With its frame, once it has one, so that a window as large as the screen keeps its title
  // bar on it.
  const QSize size = widget->frameGeometry().size();
  widget->move(std::max(0, (area.width() - size.width()) / 2), std::max(0, (area.height() - size.height()) / 2));
}
