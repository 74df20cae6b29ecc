#include "cli/arguments.h"

#include <algorithm>
#include <charconv>

namespace {
bool IsOneOf(const std::string& name, const std::vector<std::string>& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::optional<int> ParseIndex(std::string_view text) {
    int value = 0;
    if (text.empty()) return std::nullopt;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}
}  // namespace

std::optional<std::string> Arguments::Parse(const std::vector<std::string>& words,
                                            const std::vector<std::string>& flags,
                                            const std::vector<std::string>& valued) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            positional_.insert(positional_.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                               words.end());
            break;
        }
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            positional_.push_back(word);
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (IsOneOf(name, flags)) {
            if (equals != std::string::npos) return "option --" + name + " takes no value";
            options_[name] = "";
        } else if (IsOneOf(name, valued)) {
            if (equals != std::string::npos) {
                options_[name] = word.substr(equals + 1);
            } else if (i + 1 < words.size()) {
                options_[name] = words[++i];
            } else {
                return "option --" + name + " needs a value";
            }
        } else {
            return "unknown option --" + name;
        }
    }
    return std::nullopt;
}

std::string Arguments::Value(const std::string& name, const std::string& fallback) const {
    auto it = options_.find(name);
    return it == options_.end() ? fallback : it->second;
}

std::optional<std::vector<int>> ParsePatchList(const std::string& text) {
    std::vector<int> indexes;
    std::string_view rest(text);
    while (true) {
        const std::size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        const std::size_t dash = item.find('-');
        if (dash == std::string_view::npos) {
            auto index = ParseIndex(item);
            if (!index) return std::nullopt;
            indexes.push_back(*index);
        } else {
            auto first = ParseIndex(item.substr(0, dash));
            auto last = ParseIndex(item.substr(dash + 1));
            if (!first || !last || *first > *last || *last - *first > 1'000'000) return std::nullopt;
            for (int i = *first; i <= *last; ++i)
                indexes.push_back(i);
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return indexes;
}

int ParseShownDeviceId(const std::string& text) {
    int shown = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), shown);
    if (ec != std::errc() || end != text.data() + text.size() || shown < 1 || shown > 32) return -1;
    return shown - 1;
}
