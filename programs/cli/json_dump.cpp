#include "cli/json_dump.h"

namespace {
constexpr char kHex[] = "0123456789abcdef";

void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0x0F];
    }
}

void AppendName(std::string& out, const std::string& name) {
    out += '"';
    for (char c : name) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte <= 0x7E) {
            out += c;
        } else {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    out += '"';
}
}  // namespace

std::string PatchesToJson(const CPatchArray& patches) {
    std::string out = "{\"patches\": [\n";
    out.reserve(out.size() + patches.GetSize() * (2 * PATCH_BLOCK_SIZE + 128));
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        const CPatch& patch = patches[i];
        out += "  {\"name\": ";
        AppendName(out, patch.GetName());
        out += ", \"data\": \"";
        for (const Section& section : patch.Sections())
            for (const Block& block : section)
                AppendHex(out, block.data(), block.size());
        out += "\", \"memos\": [";
        for (int m = 0; m < CParameter::kMemoCount; ++m) {
            const std::string& memo = patch.GetMemo(m);
            if (m) out += ", ";
            out += '"';
            AppendHex(out, reinterpret_cast<const std::uint8_t*>(memo.data()), memo.size());
            out += '"';
        }
        out += "]}";
        if (i + 1 < patches.GetSize()) out += ',';
        out += '\n';
    }
    out += "]}\n";
    return out;
}
