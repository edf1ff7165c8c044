#include "editor/HelpDownload.h"

#include "core/EventWait.h"
#include "core/TextFiles.h"

#include <QNetworkReply>
#include <QNetworkRequest>

HelpDownload::HelpDownload(QObject* parent) : QObject(parent) {}

QUrl HelpDownload::documentUrl(const QString& webFolder)
{
    QString folder = webFolder.trimmed();
    while (folder.endsWith('/'))
        folder.chop(1);
    return QUrl(folder + "/wnew.rtf");
}

bool HelpDownload::looksComplete(const QByteArray& bytes)
{
    const QByteArray trimmed = bytes.trimmed();
    return trimmed.startsWith("{\\rtf") && trimmed.endsWith('}');
}

void HelpDownload::abort()
{
    m_aborted = true;
    if (m_reply)
        m_reply->abort();
    if (m_waiting)
        m_waiting->finish();
}

HelpDownload::Result HelpDownload::fetch(const QString& webFolder, const QString& localPath, int timeoutMs)
{
    if (webFolder.trimmed().isEmpty())
        return {Outcome::NotConfigured, "no web folder is set for the help document"};
    const QUrl url = documentUrl(webFolder);
    if (!url.isValid() || url.scheme().isEmpty())
        return {Outcome::Failed, "\"" + webFolder + "\" is not a web address"};

    m_aborted = false;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_network.get(request);
    m_reply = reply;

    EventWait waiting;
    m_waiting = &waiting;
    bool tooLarge = false;
    QObject context;
    connect(reply, &QNetworkReply::finished, &context, [&waiting] { waiting.finish(); });
    connect(reply, &QNetworkReply::downloadProgress, &context, [reply, &tooLarge](qint64 received, qint64) {
        if (received > kMaxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    const EventWait::Outcome waited = waiting.wait(timeoutMs);
    m_waiting = nullptr;
    QObject::disconnect(reply, nullptr, &context, nullptr);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();

    if (m_aborted)
        return {Outcome::Failed, "the download was stopped"};
    if (waited == EventWait::Outcome::TimedOut)
        return {Outcome::Failed, QStringLiteral("%1 did not answer within %2 seconds")
                                     .arg(url.host().isEmpty() ? url.toString() : url.host())
                                     .arg(timeoutMs / 1000.0)};
    if (waited == EventWait::Outcome::Quitting)
        return {Outcome::Failed, "the program is ending"};
    if (tooLarge)
        return {Outcome::Failed, "the answer is far larger than a help document"};
    // A cut connection is an error too; the counts say more to the user.
    const QByteArray bytes = reply->readAll();
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != bytes.size())
        return {Outcome::Failed, QStringLiteral("the download stopped after %1 of %2 bytes")
                                     .arg(bytes.size())
                                     .arg(announced.toLongLong())};
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200)
        return {Outcome::Failed, QStringLiteral("the web server answered %1 %2")
                                     .arg(status.toInt())
                                     .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())};
    if (reply->error() != QNetworkReply::NoError)
        return {Outcome::Failed, reply->errorString()};
    if (!looksComplete(bytes))
        return {Outcome::Failed, "the answer is not a complete help document"};

    QString error;
    if (!writeBytesAtomic(localPath, bytes, &error))
        return {Outcome::Failed, "the local copy cannot be written: " + error};
    return {Outcome::Replaced, QString()};
}
