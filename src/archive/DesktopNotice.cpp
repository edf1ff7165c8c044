#include "archive/DesktopNotice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

DesktopNotice::DesktopNotice(QObject* parent) : QObject(parent) {}

void DesktopNotice::setConnection(const QDBusConnection& bus)
{
    m_bus = bus;
    m_listening = false;
    m_markup.reset();
}

bool DesktopNotice::connectToService()
{
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus->isConnected() || !m_bus->interface()
        || !m_bus->interface()->isServiceRegistered(kService).value())
        return false;
    if (!m_listening) {
        m_listening = m_bus->connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                                     SLOT(onActionInvoked(uint, QString)));
    }
    return true;
}

bool DesktopNotice::show(const QString& summary, const QString& body)
{
    if (!connectToService())
        return false;
    if (m_markup) {
        send(summary, body);
        return true;
    }
    // Whether the body is read as markup (then plain text is escaped) is
    // asked first; the notice waits for the answer, the window does not.
    m_waiting = std::pair(summary, body);
    if (m_askedForMarkup)
        return true;
    m_askedForMarkup = true;
    auto* asked = new QDBusPendingCallWatcher(
        m_bus->asyncCall(QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"))),
        this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QStringList> reply = *call;
        m_markup = reply.isValid() && reply.value().contains(QStringLiteral("body-markup"));
        m_askedForMarkup = false;
        if (m_waiting) {
            const auto [summary, body] = *std::exchange(m_waiting, std::nullopt);
            send(summary, body);
        }
        call->deleteLater();
    });
    return true;
}

void DesktopNotice::send(const QString& summary, const QString& body)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("vornak")}};
    notify << QStringLiteral("Vornak") << uint(0) << QStringLiteral("vornak") << summary
           << (*m_markup ? body.toHtmlEscaped() : body) << QStringList{QStringLiteral("default"), QStringLiteral("Show")}
           << hints << int(-1);
    // The answer (the notice's id) comes later.
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isValid())
            m_lastId = reply.value();
        call->deleteLater();
    });
}

void DesktopNotice::onActionInvoked(uint id, const QString& action)
{
    if (id != 0 && id == m_lastId && action == QLatin1String("default"))
        emit clicked();
}
