// How the program's texts cross into Qt's strings and back: texts of the data files (symbols,
// names) are bytes of the portfolio's code page; the program's own texts are ASCII (Latin-1);
// paths are the file system's own bytes (UTF-8 on Linux, and UTF-8 with "/" on Windows).
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <string>

#include "data/code_page.h"

inline QString FromFileText(const barvane::CodePage& page, const std::string& text) {
  return QString::fromStdString(page.ToUtf8(text));
}

// A message that may hold file texts beside paths.
inline QString FromMessage(const barvane::CodePage& page, const std::string& text) {
  return QString::fromStdString(page.MessageToUtf8(text));
}

// The bytes of a typed symbol or name; callers check the page can hold it first
// (CodePage::Refusal).
inline std::string ToFileText(const barvane::CodePage& page, const QString& text) {
  std::string bytes;
  (void)page.FromUtf8(text.toStdString(), &bytes);
  return bytes;
}

inline QString FromLatin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters beyond Latin-1 become "?": callers that must refuse them check first.
inline std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

#ifdef _WIN32
// Inside the program a Windows path is UTF-8 with "/", whatever the code page.
inline QString FromPath(const std::string& path) {
  return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}
inline std::string ToPath(const QString& path) { return QDir::fromNativeSeparators(path).toUtf8().toStdString(); }
#else
inline QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
inline std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
#endif
