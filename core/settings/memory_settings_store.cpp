#include "settings/memory_settings_store.h"

#include <charconv>

int CMemorySettingsStore::GetInt(const std::string& section, const std::string& name,
                                 int defaultValue) const {
    auto it = values_.find({section, name});
    if (it == values_.end()) return defaultValue;
    if (const int* value = std::get_if<int>(&it->second)) return *value;
    // A number stored as text reads as that number, as the platform stores do.
    const std::string& text = std::get<std::string>(it->second);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (ec == std::errc() && end == text.data() + text.size()) ? value : defaultValue;
}

bool CMemorySettingsStore::WriteInt(const std::string& section, const std::string& name, int value) {
    values_[{section, name}] = value;
    return true;
}

std::string CMemorySettingsStore::GetString(const std::string& section, const std::string& name,
                                            const std::string& defaultValue) const {
    auto it = values_.find({section, name});
    if (it == values_.end()) return defaultValue;
    if (const int* value = std::get_if<int>(&it->second)) return std::to_string(*value);
    return std::get<std::string>(it->second);
}

bool CMemorySettingsStore::WriteString(const std::string& section, const std::string& name,
                                       const std::string& value) {
    values_[{section, name}] = value;
    return true;
}

bool CMemorySettingsStore::Contains(const std::string& section, const std::string& name) const {
    return values_.count({section, name}) != 0;
}

bool CMemorySettingsStore::Remove(const std::string& section, const std::string& name) {
    return values_.erase({section, name}) != 0;
}
