#include "qsettings/qsettings_store.h"

namespace {
// QSettings treats '/' as a group separator and '\' specially; section and value names of this program
// contain neither, but a hostile name must not reach another group.
QString Key(const std::string& section, const std::string& name) {
    QString s = QString::fromStdString(section);
    QString n = QString::fromStdString(name);
    s.replace('/', '_').replace('\\', '_');
    n.replace('/', '_').replace('\\', '_');
    return s + '/' + n;
}
}  // namespace

CQSettingsStore::CQSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kCompany,
                                            kApplication)) {}

CQSettingsStore::CQSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

int CQSettingsStore::GetInt(const std::string& section, const std::string& name, int defaultValue) const {
    const QVariant value = settings_->value(Key(section, name));
    if (!value.isValid()) return defaultValue;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : defaultValue;
}

bool CQSettingsStore::WriteInt(const std::string& section, const std::string& name, int value) {
    settings_->setValue(Key(section, name), value);
    return settings_->status() == QSettings::NoError;
}

std::string CQSettingsStore::GetString(const std::string& section, const std::string& name,
                                       const std::string& defaultValue) const {
    const QVariant value = settings_->value(Key(section, name));
    return value.isValid() ? value.toString().toStdString() : defaultValue;
}

bool CQSettingsStore::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value) {
    settings_->setValue(Key(section, name), QString::fromStdString(value));
    return settings_->status() == QSettings::NoError;
}

bool CQSettingsStore::Contains(const std::string& section, const std::string& name) const {
    return settings_->contains(Key(section, name));
}

bool CQSettingsStore::Remove(const std::string& section, const std::string& name) {
    const QString key = Key(section, name);
    const bool had = settings_->contains(key);
    settings_->remove(key);
    return had;
}

bool CQSettingsStore::Sync() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}
