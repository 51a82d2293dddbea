// The context menu of an entry field that filters what is pasted: the standard menu, with its
// Paste going through the field's own filter instead of into the text unseen.
#pragma once

#include <QLineEdit>
#include <functional>

// Shows `edit`'s standard context menu at `globalPos`, its Paste calling `paste`.
void ShowMenuWithFilteredPaste(QLineEdit* edit, const QPoint& globalPos, const std::function<void()>& paste);
