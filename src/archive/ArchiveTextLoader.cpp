#include "archive/ArchiveTextLoader.h"

#include "core/TextFiles.h"

#include <QFile>

ArchiveTextLoader::ArchiveTextLoader(QObject* parent) : QObject(parent) {}

ArchiveTextLoader::~ArchiveTextLoader()
{
    stop();
}

void ArchiveTextLoader::stop()
{
    if (m_stop)
        *m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_done = true;
}

void ArchiveTextLoader::load(const QStringList& paths)
{
    stop();
    m_stop = std::make_shared<std::atomic_bool>(false);
    m_done = false;
    const int generation = ++m_generation;
    // The batches are handed over through the event loop; one from a load
    // that was replaced meanwhile is dropped.
    const auto hand = [this, generation](int first, QStringList texts, bool last) {
        QMetaObject::invokeMethod(this, [this, generation, first, texts = std::move(texts), last] {
            if (generation != m_generation)
                return;
            if (!texts.isEmpty())
                emit loaded(first, texts);
            if (last) {
                m_done = true;
                emit finished();
            }
        }, Qt::QueuedConnection);
    };
    m_thread = std::thread([paths, stop = m_stop, hand] {
        QStringList batch;
        int first = 0;
        for (int i = 0; i < paths.size() && !*stop; ++i) {
            QFile file(paths[i]);
            batch.append(file.open(QIODevice::ReadOnly) ? decodeFileBytes(file.readAll()) : QString());
            if (batch.size() == kBatch) {
                hand(first, std::exchange(batch, QStringList()), false);
                first = i + 1;
            }
        }
        if (!*stop)
            hand(first, batch, true);
    });
}
