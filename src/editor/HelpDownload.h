#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class EventWait;
class QNetworkReply;

// Fetches the help document "wnew.rtf" from a web folder into its local
// copy. The local copy is replaced only by a complete download: an answer
// that is cut short, late, an error page or no rich text at all leaves the
// old copy as it was. The wait runs the window's events, so the window keeps
// painting and can be closed (abort()) meanwhile.
class HelpDownload : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Replaced,      // the local copy is the fresh download
        NotConfigured, // no web folder set: nothing fetched
        Failed,        // nothing usable came; the local copy is unchanged
    };
    struct Result {
        Outcome outcome = Outcome::NotConfigured;
        QString reason; // why it failed, in words for the user
    };

    // Larger answers are not a help document.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

    explicit HelpDownload(QObject* parent = nullptr);

    Result fetch(const QString& webFolder, const QString& localPath, int timeoutMs);
    // Ends a fetch that is running (the window was closed).
    void abort();

    // The folder's address followed by "/wnew.rtf".
    static QUrl documentUrl(const QString& webFolder);
    // A whole rich-text document: it starts with "{\rtf" and its last
    // character that is not white space closes the outer group.
    static bool looksComplete(const QByteArray& bytes);

private:
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    EventWait* m_waiting = nullptr;
    bool m_aborted = false;
};
