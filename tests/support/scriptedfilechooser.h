#pragma once

#include "document/filechooser.h"

#include <QList>
#include <QQueue>

namespace kova::test {

// A FileChooser for tests: answers each request with the next queued name ("" is a cancel), records
// every request, and fails the running test on a request it did not expect.
class ScriptedFileChooser : public FileChooser
{
public:
    void expect(const QString &title, FileRequest::Mode mode, const QString &answer)
    {
        m_expected.enqueue({title, mode, answer});
    }
    QString chooseFile(const FileRequest &request) override;

    const QList<FileRequest> &requests() const { return m_requests; }
    int pending() const { return int(m_expected.size()); }

private:
    struct Expectation
    {
        QString title;
        FileRequest::Mode mode;
        QString answer;
    };
    QQueue<Expectation> m_expected;
    QList<FileRequest> m_requests;
};

} // namespace kova::test
