#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The words of one command: options ("--name value" or "--name=value", or flags) and positional words.
class Arguments {
  public:
    // Splits words; flags lists the options that take no value. Returns an error text on failure.
    std::optional<std::string> Parse(const std::vector<std::string>& words,
                                     const std::vector<std::string>& flags,
                                     const std::vector<std::string>& valued);

    bool Has(const std::string& name) const { return options_.count(name) != 0; }
    std::string Value(const std::string& name, const std::string& fallback = {}) const;
    const std::vector<std::string>& Positional() const { return positional_; }

  private:
    std::map<std::string, std::string> options_;
    std::vector<std::string> positional_;
};

// A usage error: the message goes to standard error with a hint, and the program exits with 2.
struct UsageError {
    std::string message;
};

// Parses "0,5,10-19" into indexes in the order written. Returns nullopt for malformed text.
std::optional<std::vector<int>> ParsePatchList(const std::string& text);

// A device id as shown to users, "1" to "32"; gives the id 0-31, or -1.
int ParseShownDeviceId(const std::string& text);
