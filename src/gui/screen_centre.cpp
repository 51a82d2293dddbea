// Centring on the primary screen.
#include "gui/screen_centre.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* widget) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QSize area = screen->geometry().size();
  widget->move((area.width() - widget->width()) / 2, (area.height() - widget->height()) / 2);
}
