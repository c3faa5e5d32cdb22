#pragma once

#include <QByteArray>
#include <QString>

namespace kova {

class TemplateDocument;

// The copy of a document with unsaved changes that the editor keeps when it is ended by a fault or a
// signal, offered at the next start. It lives in a folder of its own: the template as Save would
// write it with "Strings" off, in the document's encoding ("recovered.adm"), and the path the
// document had ("recovered.path", UTF-8, empty for an untitled one), and what the offer should add
// about what the copy holds ("recovered.note", UTF-8, usually none).
class RecoveryCopy
{
public:
    explicit RecoveryCopy(QString directory) : m_directory(std::move(directory)) {}
    // The application data location's "recovery" folder.
    static QString defaultDirectory();

    // The bytes Save would write for document with "Strings" off.
    static QByteArray render(const TemplateDocument &document);
    // Keeps bytes as the recovered copy of the document at sourcePath; false (error says why) when
    // it could not be written.
    bool write(QByteArrayView bytes, const QString &sourcePath, const QString &note = QString(),
               QString *error = nullptr) const;

    bool exists() const;
    QString filePath() const;
    // The path the recovered document had; empty for an untitled one.
    QString sourcePath() const;
    QString note() const;
    void remove() const;

private:
    QString m_directory;
};

} // namespace kova
