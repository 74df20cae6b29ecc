#include "midi/port_names.h"

#include <algorithm>
#include <cctype>

namespace {

// name without a trailing " N:M" of decimal numbers; name itself when it has none.
std::string WithoutPortNumbers(const std::string& name) {
    std::size_t end = name.size();
    auto digitsBefore = [&](std::size_t position) {
        std::size_t start = position;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(name[start - 1])))
            --start;
        return start;
    };
    const std::size_t portStart = digitsBefore(end);
    if (portStart == end || portStart == 0 || name[portStart - 1] != ':') return name;
    const std::size_t clientStart = digitsBefore(portStart - 1);
    if (clientStart == portStart - 1 || clientStart == 0 || name[clientStart - 1] != ' ') return name;
    return name.substr(0, clientStart - 1);
}

}  // namespace

std::vector<std::string> OfferedPortNames(const std::vector<std::string>& systemNames, bool stripNumbers,
                                          const std::string& ownPrefix) {
    std::vector<std::string> offered;
    for (const std::string& name : systemNames) {
        if (!ownPrefix.empty() && name.rfind(ownPrefix, 0) == 0) {
            offered.emplace_back();
            continue;
        }
        const std::string base = stripNumbers ? WithoutPortNumbers(name) : name;
        std::string candidate = base;
        for (int n = 2; std::find(offered.begin(), offered.end(), candidate) != offered.end(); ++n)
            candidate = base + " #" + std::to_string(n);
        offered.push_back(candidate);
    }
    return offered;
}
