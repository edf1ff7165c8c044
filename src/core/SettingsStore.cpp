#include "core/SettingsStore.h"

#include "core/Dialogs.h"

#include <QSettings>

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("vornak"), kAppTitle))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::get(const QString& section, const QString& key) const
{
    return m_settings->value(section + "/" + key).toString();
}

void SettingsStore::save(const QString& section, const QString& key, const QString& value)
{
    m_settings->setValue(section + "/" + key, value);
    m_settings->sync();
}

QString SettingsStore::location() const
{
    return m_settings->fileName();
}

bool SettingsStore::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
