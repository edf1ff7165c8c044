#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>

// Reads the texts of archived messages on a thread of its own, so that a
// large archive opens at once (its index only) and becomes searchable by
// its texts a moment later. The texts arrive in batches, from the event
// loop of the loader's own thread.
class ArchiveTextLoader : public QObject {
    Q_OBJECT
public:
    static constexpr int kBatch = 500;

    explicit ArchiveTextLoader(QObject* parent = nullptr);
    // Stops the reading and waits for the thread.
    ~ArchiveTextLoader() override;

    // Reads the files (absolute paths) in order; a load still running is
    // stopped first.
    void load(const QStringList& paths);
    void stop();
    bool running() const { return m_thread.joinable() && !m_done; }

signals:
    // The texts of paths[first] and the ones after it (a file that cannot
    // be read gives an empty text).
    void loaded(int first, const QStringList& texts);
    void finished();

private:
    std::thread m_thread;
    std::shared_ptr<std::atomic_bool> m_stop;
    bool m_done = true;
    int m_generation = 0;
};
