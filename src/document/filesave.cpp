#include "filesave.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace kova {

bool saveFileAtomically(const QString &path, QByteArrayView bytes, QString *error)
{
    AtomicFileWriter file(path);
    file.write(bytes);
    return file.commit(error);
}

AtomicFileWriter::AtomicFileWriter(QString path) : m_path(std::move(path)) {}

// An uncommitted QSaveFile takes its temporary file with it.
AtomicFileWriter::~AtomicFileWriter() = default;

bool AtomicFileWriter::open()
{
    const QFileInfo info(m_path);
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner)) {
        m_error = QStringLiteral("Permission denied: %1 is read-only").arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

void AtomicFileWriter::write(QByteArrayView bytes)
{
    if (!m_error.isNull() || (!m_file && !open()))
        return;
    if (m_file->write(bytes.data(), bytes.size()) != bytes.size())
        m_error = m_file->errorString();
}

bool AtomicFileWriter::commit(QString *error)
{
    if (m_error.isNull() && !m_file)
        open();
    if (m_error.isNull() && !m_file->commit())
        m_error = m_file->errorString();
    if (error && !m_error.isNull())
        *error = m_error;
    return m_error.isNull();
}

} // namespace kova
