#pragma once

#include <QString>
#include <memory>

#include "core/SettingsKeys.h"

class QSettings;

// The per-user settings store, kept under the application title in sections
// (their keys: core/SettingsKeys.h). XDG_CONFIG_HOME moves it.
class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or an empty string when there is none.
    QString get(const QString& section, const QString& key) const;
    void save(const QString& section, const QString& key, const QString& value);
    QString get(const SettingKey& key) const { return get(key.section, key.key); }
    void save(const SettingKey& key, const QString& value) { save(key.section, key.key, value); }
    // Where the store lives on disk (for messages and the README).
    QString location() const;
    // Writes pending changes to disk; false when the file cannot be written.
    bool sync();

private:
    std::unique_ptr<QSettings> m_settings;
};
