#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

namespace kova {

// Replaces the file at path with bytes, all or nothing: the bytes go to a temporary file beside it that
// takes the old file's place only once everything is written. A file marked read-only is refused, as
// it would be on Windows, even for a user the system would let through. On failure the old file is
// untouched and error holds the system's description.
bool saveFileAtomically(const QString &path, QByteArrayView bytes, QString *error);

// The same with the bytes given a piece at a time, so that they need not be held whole: the file is
// replaced only by commit, and a writer that ends without commit leaves it untouched. After the
// first failure further pieces are ignored and commit reports it.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(QString path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    void write(QByteArrayView bytes);
    bool commit(QString *error);

private:
    bool open();

    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    QString m_error; // the first failure's description
};

} // namespace kova
