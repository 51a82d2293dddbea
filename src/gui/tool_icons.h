// The tool bar's images: small glyphs painted at start, one per command.
#pragma once

#include <QIcon>

#include "app/command_ids.h"

QIcon ToolIcon(barvane::CommandId command);
