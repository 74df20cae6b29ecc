#pragma once

#include <map>
#include <string>
#include <utility>
#include <variant>

#include "settings/settings_store.h"

// A settings store held in memory, for tests and for programs that must not touch the user's settings.
class CMemorySettingsStore : public ISettingsStore {
  public:
    int GetInt(const std::string& section, const std::string& name, int defaultValue) const override;
    bool WriteInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue) const override;
    bool WriteString(const std::string& section, const std::string& name, const std::string& value) override;
    bool Contains(const std::string& section, const std::string& name) const override;
    bool Remove(const std::string& section, const std::string& name) override;

    // Number of values stored, over all sections.
    std::size_t Size() const { return values_.size(); }

  private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::variant<int, std::string>> values_;
};
