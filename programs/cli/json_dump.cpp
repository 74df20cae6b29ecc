#include "cli/json_dump.h"

namespace {
constexpr char kHex[] = "0123456789abcdef";

void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0x0F];
    }
}

void AppendNameText(std::string& out, const std::string& name) {
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
}

void AppendName(std::string& out, const std::string& name) {
    out += '"';
    AppendNameText(out, name);
    out += '"';
}

// The length of the valid UTF-8 character at text[i], 0 when there is none.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t first = byte(i);
    std::size_t count = first < 0x80             ? 1
                        : (first & 0xE0) == 0xC0 ? 2
                        : (first & 0xF0) == 0xE0 ? 3
                        : (first & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (count == 0 || i + count > text.size() || (count == 2 && first < 0xC2)) return 0;
    for (std::size_t k = 1; k < count; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return count;
}
}  // namespace

std::string JsonNameText(const std::string& name) {
    std::string out;
    AppendNameText(out, name);
    return out;
}

std::string HexText(std::span<const std::uint8_t> bytes) {
    std::string out;
    AppendHex(out, bytes.data(), bytes.size());
    return out;
}

std::string JsonText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        const std::size_t length = Utf8Length(text, i);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += text[i];
        } else if (byte >= 0x20 && length > 0) {
            out.append(text, i, length);
            i += length;
            continue;
        } else {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
        ++i;
    }
    return out;
}

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
