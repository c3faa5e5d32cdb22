#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kova::test {

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);
// The files of the shared corpus folder (adm or reg), sorted; empty when the corpus is not there.
QStringList corpusFiles(const QString &folder);
// A registry string as the store keeps it: UTF-16LE with its terminating NUL.
QByteArray wideText(const QString &text);
// Writes a test text written with \n to path with CR LF line ends; returns path.
QString writeText(const QString &path, const QByteArray &text);
// CR LF line ends for test texts written with \n.
QByteArray crlf(QByteArray text);
// The same for a node's text as the template keeps it.
QString crlfText(const char *text);

} // namespace kova::test
