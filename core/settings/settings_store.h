#pragma once

#include <string>

// The per-user settings store: values addressed by section and value name. Integers are stored as
// numbers, everything else as text. The desktop program and the command line use a store kept under
// the company "Marlin" and the application "TQ-550 Librarian"; tests use the in-memory store.
class ISettingsStore {
  public:
    virtual ~ISettingsStore() = default;

    virtual int GetInt(const std::string& section, const std::string& name, int defaultValue) const = 0;
    virtual bool WriteInt(const std::string& section, const std::string& name, int value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& defaultValue) const = 0;
    virtual bool WriteString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
    // Whether the value exists at all, as integer or text.
    virtual bool Contains(const std::string& section, const std::string& name) const = 0;
    virtual bool Remove(const std::string& section, const std::string& name) = 0;
};
