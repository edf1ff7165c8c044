#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

// A notice on the desktop through the freedesktop notification service on
// the session bus, when there is one; nothing at all when there is none.
// Clicking the notice (its default action) is told through clicked().
//
// The bus is looked for only when the first notice is shown, so a program
// that never shows one never touches it.
class DesktopNotice : public QObject {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

    explicit DesktopNotice(QObject* parent = nullptr);

    // Tests hand in a bus of their own.
    void setConnection(const QDBusConnection& bus);

    // Shows a notice; `body` is plain text (escaped for a service that reads
    // markup). False when no notification service is there.
    bool show(const QString& summary, const QString& body);
    // The id the service gave the last notice (0 while none was given).
    uint lastId() const { return m_lastId; }

signals:
    void clicked();

private slots:
    void onActionInvoked(uint id, const QString& action);

private:
    bool connectToService();
    void send(const QString& summary, const QString& body);

    std::optional<QDBusConnection> m_bus;
    bool m_listening = false;
    // Whether the service reads the body as markup; unknown until it said.
    std::optional<bool> m_markup;
    bool m_askedForMarkup = false;
    // A notice waiting for that answer.
    std::optional<std::pair<QString, QString>> m_waiting;
    uint m_lastId = 0;
};
