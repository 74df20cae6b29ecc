#pragma once

#include <QSettings>
#include <memory>

#include "settings/settings_store.h"

// The per-user settings of the programs: QSettings("Marlin", "TQ-550 Librarian"), which is the registry on
// Windows and ~/.config/Marlin/TQ-550 Librarian.conf on Linux. Section and value names are kept exactly;
// integers are stored as numbers, everything else as text.
class CQSettingsStore : public ISettingsStore {
  public:
    static constexpr const char* kCompany = "Marlin";
    static constexpr const char* kApplication = "TQ-550 Librarian";

    CQSettingsStore();
    // A store on a settings file of its own (INI format), for tests and portable use.
    explicit CQSettingsStore(const QString& iniPath);

    int GetInt(const std::string& section, const std::string& name, int defaultValue) const override;
    bool WriteInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue) const override;
    bool WriteString(const std::string& section, const std::string& name, const std::string& value) override;
    bool Contains(const std::string& section, const std::string& name) const override;
    bool Remove(const std::string& section, const std::string& name) override;

    // Writes pending changes to permanent storage; false when that failed.
    bool Sync();

  private:
    std::unique_ptr<QSettings> settings_;
};
