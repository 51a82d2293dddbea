// How the program's texts cross into Qt's strings and back: texts of the data files (symbols,
// names) are 8-bit Latin-1; paths are the file system's own bytes (UTF-8 on Linux), and UTF-8
// with "/" on Windows.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <string>

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
