#include "platformservices.h"

#include <QDesktopServices>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace kova {

void SystemDesktopShell::ShellOpen(const QUrl &target)
{
    QDesktopServices::openUrl(target);
}

bool SystemProgramStarter::startDetached(const QString &program, const QStringList &arguments,
                                         const QStringList &environment)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment) {
        const qsizetype equals = entry.indexOf(u'=');
        if (equals > 0)
            env.insert(entry.left(equals), entry.mid(equals + 1));
    }
    process.setProcessEnvironment(env);
    return process.startDetached();
}

std::unique_ptr<QPrinter> SystemPrinterAccess::defaultPrinter()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty())
            return nullptr;
        info = printers.first();
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

HttpDownloader::HttpDownloader(int timeoutMs, qint64 maxBytes)
    : m_timeoutMs(timeoutMs), m_maxBytes(maxBytes), m_network(std::make_unique<QNetworkAccessManager>())
{}

HttpDownloader::~HttpDownloader() = default;

void HttpDownloader::DownloadToFile(const QUrl &url, const QString &file, std::function<void(bool)> done)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    QNetworkReply *reply = m_network->get(request);
    auto body = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    const qint64 maxBytes = m_maxBytes;
    const auto refuseWhenTooLarge = [reply, tooLarge](bool large) {
        if (large && !*tooLarge) {
            *tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, maxBytes, refuseWhenTooLarge] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        refuseWhenTooLarge(length.isValid() && length.toLongLong() > maxBytes);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, body, maxBytes, tooLarge, refuseWhenTooLarge] {
        if (*tooLarge)
            return;
        body->append(reply->readAll());
        refuseWhenTooLarge(body->size() > maxBytes);
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, body, tooLarge, file, done = std::move(done)] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        bool ok = !*tooLarge && reply->error() == QNetworkReply::NoError && status == 200;
        if (ok) {
            body->append(reply->readAll());
            QFile out(file);
            ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(*body) == body->size();
            out.close();
            if (!ok)
                out.remove();
        }
        done(ok);
    });
}

} // namespace kova
