#include "model/patch_compare_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t kBytesPerLine = 16;

std::string Hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string AddressText(int offset) {
    const auto bytes = OffsetAddressBytes(offset);
    return Hex(bytes[0]) + " " + Hex(bytes[1]);
}

std::string HexRow(const std::vector<std::uint8_t>& bytes, std::size_t from) {
    std::string row;
    const std::size_t end = std::min(bytes.size(), from + kBytesPerLine);
    for (std::size_t i = from; i < end; ++i) {
        if (i > from) row += ' ';
        row += Hex(bytes[i]);
    }
    return row;
}

std::string ShownName(const std::string& name) {
    std::string shown = name;
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) c = '?';
    }
    return shown;
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

}  // namespace

std::string FormatLabel(const std::string& pattern, std::initializer_list<std::string> arguments) {
    const std::vector<std::string> values(arguments);
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < values.size()) {
                text += values[index];
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

std::string RenderPatchComparison(const CPatch& first, const CPatch& second,
                                  const PatchComparison& comparison, const PatchCompareLabels& labels) {
    const std::size_t width = std::max(labels.first.size(), labels.second.size());
    std::string text;
    text += Padded(labels.first, width) + ": " + ShownName(first.GetName()) + "\n";
    text += Padded(labels.second, width) + ": " + ShownName(second.GetName()) + "\n";
    if (comparison.Identical()) return text + labels.identical + "\n";

    const auto sameOrNot = [&](bool differ) { return differ ? labels.different : labels.same; };
    text += labels.name + ": " + sameOrNot(comparison.namesDiffer) + "\n";
    for (int m = 0; m < CParameter::kMemoCount; ++m)
        text += FormatLabel(labels.memo, {std::to_string(m + 1)}) + ": " +
                sameOrNot(comparison.memosDiffer[static_cast<std::size_t>(m)]) + "\n";
    if (!comparison.DataDiffer()) return text + labels.dataSame + "\n";

    text += FormatLabel(labels.dataDiffer, {std::to_string(comparison.DifferingBytes()),
                                            std::to_string(comparison.runs.size())}) +
            "\n";
    const std::string indent(2 + 5 + 2, ' ');  // "  ", an address, "  "
    for (const DifferingRun& run : comparison.runs) {
        const int last = run.offset + static_cast<int>(run.Length()) - 1;
        text += FormatLabel(labels.run, {AddressText(run.offset), AddressText(last),
                                         std::to_string(run.chunk), std::to_string(run.Length())}) +
                "\n";
        for (std::size_t from = 0; from < run.Length(); from += kBytesPerLine) {
            text += "  " + AddressText(run.offset + static_cast<int>(from)) + "  " +
                    Padded(labels.first, width) + ": " + HexRow(run.first, from) + "\n";
            text += indent + Padded(labels.second, width) + ": " + HexRow(run.second, from) + "\n";
        }
    }
    return text;
}
