#pragma once
// Between the window's QStrings and the core's byte strings. Record texts
// hold one byte per character, so they travel as Latin-1: every byte value
// survives the round trip. File and folder paths use the file system's own
// encoding instead, so that the names the system hands out open again.
#include <QFile>
#include <QString>
#include <string>

namespace brindle::app {

inline QString toQt(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toLatin1().toStdString();
}

inline QString pathToQt(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

inline std::string pathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace brindle::app
