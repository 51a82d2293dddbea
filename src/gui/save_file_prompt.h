// The question for the name of a text file to write, behind a function so that tests can
// answer it without a file dialog on screen.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

struct SaveFileRequest {
  QString initialName;    // the file name (or full path) the dialog opens with
  bool confirmOverwrite;  // whether choosing an existing file asks before it is replaced
};

// The chosen full path, or an empty string when the user cancelled.
using SaveFilePrompt = std::function<QString(QWidget* parent, const SaveFileRequest& request)>;

// The toolkit's save-file dialog: text files by default, "txt" added to a name without one.
QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request);
