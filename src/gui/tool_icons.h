// The icons of the tool bar and menu commands and of the program's windows: the desktop
// theme's icon where the theme has one, else our own drawing from the resources; every
// command has its own glyph (Quit, Delete symbol and Delete quote never share one).
#pragma once

#include <QIcon>
#include <QString>

#include "app/command_ids.h"

QIcon ToolIcon(barvane::CommandId command);
// Our own drawing of a command (the resource path), empty for a command without an icon.
QString OwnToolIconPath(barvane::CommandId command);
// The program's icon, "barvane" in the theme once installed.
QIcon AppIcon();
