// Dialogs open centred on the screen, as the program's windows always have.
#pragma once

class QWidget;

// Moves `widget` (at its current size) to the middle of the primary screen.
void CentreOnScreen(QWidget* widget);
