#include "import/tq2_dump_decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "import/earlier_image_converter.h"
#include "import/seven_bit.h"
#include "import/tables/tq2_block_table.h"
#include "import/tables/tq2_lookup_tables.h"
#include "import/tables/tq2_target_table.h"

using namespace tq2;

namespace {

constexpr int kMaxColumns = 124;

// Target offset and highest value of every column of every block, expanded from the run tables.
struct Columns {
    std::array<std::array<std::int16_t, kMaxColumns>, kBlockCount> targets{};
    std::array<std::array<std::uint8_t, kMaxColumns>, kBlockCount> maxima{};
    bool valid = true;
};

constexpr int ExpandTargets(std::span<const TargetRun> runs, std::array<std::int16_t, kMaxColumns>& out) {
    int column = 0;
    for (const TargetRun& run : runs)
        for (int i = 0; i < run.count && column < kMaxColumns; ++i)
            out[static_cast<std::size_t>(column++)] =
                static_cast<std::int16_t>(run.first == kNoTarget ? kNoTarget : run.first + i);
    return column;
}

constexpr int ExpandMaxima(std::span<const MaxRun> runs, std::array<std::uint8_t, kMaxColumns>& out) {
    int column = 0;
    for (const MaxRun& run : runs)
        for (int i = 0; i < run.count && column < kMaxColumns; ++i)
            out[static_cast<std::size_t>(column++)] = run.value;
    return column;
}

constexpr Columns BuildColumns() {
    Columns c;
    const std::span<const TargetRun> targets[] = {kTargets0,  kTargets1,  kTargets2,  kTargets3,  kTargets4,
                                                  kTargets5,  kTargets6,  kTargets7,  kTargets8,  kTargets9,
                                                  kTargets10, kTargets11, kTargets12, kTargets13, kTargets14};
    const std::span<const MaxRun> maxima[] = {
        kMaxima0, kMaxima1, kMaxima2,  kMaxima3,  kMaxima4,  kMaxima5,       kMaxima6,      kMaxima7,
        kMaxima8, kMaxima9, kMaxima10, kMaxima11, kMaxima12, kMaxima13And14, kMaxima13And14};
    for (std::size_t b = 0; b < kBlockCount; ++b) {
        int targetCount = 0;
        int maximumCount = 0;
        if (b < 15) {
            targetCount = ExpandTargets(targets[b], c.targets[b]);
            maximumCount = ExpandMaxima(maxima[b], c.maxima[b]);
        } else {
            const int k = static_cast<int>(b) - 15;
            const int first = kAssignmentBlockTargets + kAssignmentBlockStride * k;
            const TargetRun runs[] = {V(first), None(), R(first + 2, first + 11)};
            targetCount = ExpandTargets(runs, c.targets[b]);
            maximumCount = ExpandMaxima(kMaxima15To22, c.maxima[b]);
        }
        if (targetCount != kBlockSizes[b] || maximumCount != kBlockSizes[b]) c.valid = false;
        if (b > 0 && kBlockBases[b] != kBlockBases[b - 1] + kBlockSizes[b - 1]) c.valid = false;
    }
    return c;
}

constexpr Columns kColumns = BuildColumns();
static_assert(kColumns.valid, "every TQ-2 block has one target and one maximum per column");

constexpr std::int32_t kFirstPatchAddress = 0x06 << 21;

template <std::size_t N>
std::uint8_t Table(const std::array<int, N>& table, int v) {
    return static_cast<std::uint8_t>(
        table[static_cast<std::size_t>(std::clamp(v, 0, static_cast<int>(N) - 1))]);
}

// Moves chain entry x to the place just after entry y; nothing when either is missing.
void PlaceAfter(std::span<std::uint8_t, earlier::kImageSize> image, std::uint8_t x, std::uint8_t y) {
    const auto chain = image.subspan(earlier::kChain, earlier::kChainLength);
    auto from = std::find(chain.begin(), chain.end(), x);
    if (from == chain.end() || std::find(chain.begin(), chain.end(), y) == chain.end() || x == y) return;
    std::rotate(from, from + 1, chain.end());  // x closes the gap and goes to the end
    auto after = std::find(chain.begin(), chain.end() - 1, y) + 1;
    std::rotate(after, chain.end() - 1, chain.end());
}

// A byte reader over the file that never moves past its end.
struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;

    bool AtEnd() const { return at >= bytes.size(); }
    std::size_t Left() const { return bytes.size() - std::min(at, bytes.size()); }
    bool Tag(const char* tag) {
        if (Left() < 4 || std::memcmp(bytes.data() + at, tag, 4) != 0) return false;
        at += 4;
        return true;
    }
    void Skip(std::size_t n) { at += std::min(n, Left()); }
    // A variable-length quantity of at most four bytes; stops at the file end.
    std::uint32_t VariableLength() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4 && !AtEnd(); ++i) {
            const std::uint8_t byte = bytes[at++];
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80)) break;
        }
        return value;
    }
};

}  // namespace

void Tq2DumpDecoder::Reset() {
    slotOf_.fill(-1);
    slotNumbers_.fill(-1);
    slots_.fill(Slot{});
    lastSlot_ = -1;
    modeOneSeen_ = false;
}

int Tq2DumpDecoder::WalkSmf(std::span<const std::uint8_t> bytes, std::span<std::uint8_t> images) {
    Reset();
    BindImages(images);
    Cursor file{bytes};
    // The header length is not used: the tag is followed by 4 length bytes and three 2-byte fields.
    if (!file.Tag("MThd")) return 0;
    file.Skip(10);
    if (!file.Tag("MTrk")) return 0;
    file.Skip(4);
    std::uint8_t running = 0;
    std::vector<std::uint8_t> message;
    while (!file.AtEnd()) {
        file.VariableLength();  // delta time
        if (file.AtEnd()) break;
        const std::uint8_t status = bytes[file.at++];
        if (status == 0xF0) {
            const std::uint32_t stated = file.VariableLength();
            const std::size_t length = std::min<std::size_t>(stated, file.Left());
            // The limit is judged by the length the event states: a long message cut short by the end of
            // the file is still a long message, and is skipped.
            if (std::size_t{stated} + 1 < 512) {
                message.assign(1, 0xF0);
                message.insert(message.end(), bytes.begin() + static_cast<std::ptrdiff_t>(file.at),
                               bytes.begin() + static_cast<std::ptrdiff_t>(file.at + length));
                TakeMessage(message);
            }
            file.Skip(length);
            running = 0;
        } else if (status == 0xFF) {
            if (file.AtEnd()) break;
            const std::uint8_t type = bytes[file.at++];
            file.Skip(file.VariableLength());
            running = 0;
            if (type == 0x2F && !file.AtEnd()) {
                if (!file.Tag("MTrk")) return 0;
                file.Skip(4);
            }
        } else if (status == 0xF7) {
            file.Skip(file.VariableLength());
            running = 0;
        } else if (status >= 0x80 && status < 0xF0) {
            running = status;
            const std::uint8_t kind = status & 0xF0;
            file.Skip(kind == 0xC0 || kind == 0xD0 ? 1 : 2);
        } else if (status < 0x80) {
            // A data byte repeats the running status; without one it is skipped.
            if (running != 0) {
                const std::uint8_t kind = running & 0xF0;
                file.Skip(kind == 0xC0 || kind == 0xD0 ? 0 : 1);
            }
        } else {
            running = 0;  // other system messages carry no data here
        }
    }
    Finish();
    return GetCount();
}

void Tq2DumpDecoder::TakeMessage(std::span<const std::uint8_t> message) {
    static constexpr std::uint8_t kHeader[] = {0xF0, 0x41, 0x00, 0x00, 0x46, 0x12};
    // The header is checked over all bytes but the closing one; the device-id byte may be anything.
    if (message.size() < 1 + std::size(kHeader) + 4) return;
    for (std::size_t i = 0; i < std::size(kHeader); ++i)
        if (i != 2 && message[i] != kHeader[i]) return;
    const auto address = message.subspan(std::size(kHeader), 4);
    if (std::any_of(address.begin(), address.end(), [](std::uint8_t b) { return b > 0x7F; })) return;
    std::int32_t a = (address[0] << 21) | (address[1] << 14) | (address[2] << 7) | address[3];
    // Data bytes run up to the checksum, the byte before the closing one, which is never stored.
    const std::size_t end = message.size() - 2;
    for (std::size_t i = std::size(kHeader) + 4; i < end; ++i)
        Store(a++, message[i]);
}

int Tq2DumpDecoder::SlotFor(int number) {
    const auto n = static_cast<std::size_t>(number);
    if (slotOf_[n] >= 0) return slotOf_[n];
    const int capacity =
        static_cast<int>(std::min<std::size_t>(kPatchCount, images_.size() / earlier::kImageSize));
    if (lastSlot_ + 1 >= capacity) return -1;
    slotOf_[n] = ++lastSlot_;
    slotNumbers_[static_cast<std::size_t>(lastSlot_)] = number;
    EarlierImageConverter().FillDefaultSlot(images_, static_cast<std::size_t>(lastSlot_));
    return lastSlot_;
}

std::span<std::uint8_t, earlier::kImageSize> Tq2DumpDecoder::Image(int slot) {
    return images_.subspan(static_cast<std::size_t>(slot) * earlier::kImageSize).first<earlier::kImageSize>();
}

void Tq2DumpDecoder::Store(std::int32_t address, std::uint8_t value) {
    if (address < kFirstPatchAddress) return;
    const int number = ((address >> 21) - 6) * 128 + ((address >> 14) & 0x7F);
    const int block = (address >> 7) & 0x7F;
    const int column = address & 0x7F;
    if (number >= kPatchCount || block >= kBlockCount ||
        column >= kBlockSizes[static_cast<std::size_t>(block)])
        return;
    const int slot = SlotFor(number);
    if (slot < 0) return;
    const auto b = static_cast<std::size_t>(block);
    const auto c = static_cast<std::size_t>(column);
    const int v = std::min<int>(value, kColumns.maxima[b][c]);
    const int target = kColumns.targets[b][c];
    const int g = kBlockBases[b] + column;
    const auto image = Image(slot);
    if (StoreSpecial(slots_[static_cast<std::size_t>(slot)], image, g, target, v)) return;
    if (target != kNoTarget) image[static_cast<std::size_t>(target)] = static_cast<std::uint8_t>(v);
}

bool Tq2DumpDecoder::StoreSpecial(Slot& slot, std::span<std::uint8_t, earlier::kImageSize> image, int g,
                                  int target, int v) {
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    const auto at = static_cast<std::size_t>(target);
    switch (g) {
        case 2:
            image[at] = Table(kT156, v);
            if ((v == 0 || v == 1) && image[0] != 0) {
                image[0] = 0;
                image[130] = 1;
                image[132] = byte(v);
            } else if (v == 2) {
                slot.mode = 1;
                image[33] = 5;
            } else if (v == 3) {
                slot.mode = 0;
            }
            return true;
        case 5:
        case 6:
            if (image[132] == 0) image[g == 5 ? 137 : 138] = byte(v);
            return true;
        case 9:
        case 10:
            if (image[132] != 0) image[g == 9 ? 137 : 138] = byte(v);
            return true;
        case 11:
        case 12:
        case 13:
            if (slot.mode == 1) image[static_cast<std::size_t>(35 + g - 11)] = byte(v);
            return true;
        case 14:
        case 15:
        case 16: {
            static constexpr std::size_t kOffsets[] = {33, 35, 37};
            if (slot.mode == 0) image[kOffsets[g - 14]] = byte(v);
            return true;
        }
        case 61:
            image[160] = Table(kT192, v);
            if (v == 17) {
                slot.flags |= 8;
                image[144] = image[158];
                image[158] = 0;
                image[146] = 0;
                image[155] = 3;
                image[156] = 2;
            }
            return true;
        case 62:
        case 65: {
            const bool first = g == 62;
            image[first ? 161 : 164] = byte(v);
            if (slot.flags & 8) {
                image[first ? 147 : 148] = byte(v);
                image[first ? 150 : 151] = byte(v);
            }
            return true;
        }
        case 68:
            image[172] = Table(kT0, v);
            return true;
        case 70:
        case 71:
        case 72:
        case 73:
            if (image[172] < 24 || image[172] > 26) image[at] = byte(v);
            return true;
        case 77:
            slot.stored77 = v;
            return true;
        case 78:
            image[183] = slot.stored77 != 0 ? Table(kT132, v) : 0;
            return true;
        case 85:
        case 88:
        case 209:
        case 212:
            image[at] = byte(v + 7);
            return true;
        case 95:
            image[at] = Table(kT264, v);
            return true;
        case 101:
            if (v != 0) slot.enable102 = true;
            return true;
        case 102:
            if (slot.enable102) image[at] = byte(v + 1);
            return true;
        case 239:
            image[at] = byte(v + 1);
            return true;
        case 220:
            slot.stored220 = v;
            return true;
        case 221:
            if (slot.stored220) {
                const int d = *slot.stored220;
                Write14(image, 442, d > 90 ? d + 1710 : std::min(v + 20 * d, 1800));
            }
            return true;
        case 236:
            image[476] = Table(kT360, v);
            return true;
        default:
            break;
    }
    if (g >= 42 && g <= 58) {
        slot.block1[static_cast<std::size_t>(g - 42)] = byte(v);
        return true;
    }
    if (g >= 250 && g <= 260) {
        image[at] = Table(kT380, v);
        return true;
    }
    if (g >= 261 && g <= 272) {
        image[at] = v == 0x7F ? 0x7B : (v == 0x7E ? 0x7D : byte(v));
        return true;
    }
    return false;
}

void Tq2DumpDecoder::Finish() {
    for (int n = 0; n < kPatchCount; ++n) {
        const int slot = slotOf_[static_cast<std::size_t>(n)];
        if (slot < 0) continue;
        FinishSlot(slots_[static_cast<std::size_t>(slot)], Image(slot));
    }
}

void Tq2DumpDecoder::FinishSlot(Slot& slot, std::span<std::uint8_t, earlier::kImageSize> image) {
    const auto& B = slot.block1;
    if (B[0] != 0) {
        if (B[2] == 0 || B[2] == 2) {
            const std::size_t from = B[2] == 0 ? 3 : 14;
            image[139] = 1;
            image[141] = Table(kT328, B[from]);
            image[142] = B[from + 1];
            image[143] = B[from + 2];
        } else if (B[2] == 1 && !(image[0] != 0 && image[219] != 0)) {
            // The second large block when the first is in use, else the first.
            const bool second = image[0] != 0;
            const std::size_t shift = second ? 219 : 0;
            slot.flags |= second ? 2 : 1;
            modeOneSeen_ = true;
            image[shift] = 1;
            if (B[12] < B[8]) {
                image[shift + 2] = 2;
                for (std::size_t i = 0; i < 5; ++i)
                    image[shift + 14 + i] = B[6 + i];
                image[shift + 20] = B[13];
            } else {
                image[shift + 2] = 3;
                const std::uint8_t values[] = {B[6], B[9], B[10], B[11], B[12]};
                std::copy(std::begin(values), std::end(values),
                          image.begin() + static_cast<std::ptrdiff_t>(shift + 21));
                image[shift + 27] = B[13];
            }
        }
    }
    if (slot.flags & 1) PlaceAfter(image, 0, 2);
    if (slot.flags & 2) PlaceAfter(image, 7, 2);
    if (slot.flags & 8) PlaceAfter(image, 3, 4);
    if (slot.flags & 4) PlaceAfter(image, 1, 0);
    image[865] = 1;
    image[867] = 0;
    image[868] = 100;
    image[848] = 2;
    image[850] = 0;
    image[851] = 100;
    for (int k = 0; k < earlier::kAssignmentCount; ++k) {
        if (k == 8 || k == 9) continue;
        const auto block = static_cast<std::size_t>(earlier::kAssignments + earlier::kAssignmentSize * k);
        const std::size_t minimum = block + earlier::kAssignMinimum;
        const std::size_t maximum = block + earlier::kAssignMaximum;
        const int t = Read14(image, block + earlier::kAssignTarget);
        if (t == 77 || t == 80 || t == 190 || t == 193 || t == 217) {
            const int add = t == 217 ? 1 : 7;
            Write14(image, minimum, Read14(image, minimum) + add);
            Write14(image, maximum, Read14(image, maximum) + add);
        } else if (t == 200) {
            for (std::size_t at : {minimum, maximum}) {
                const int low = image[at + 1];
                Write14(image, at, low > 90 ? low + 1710 : 20 * low);
            }
        } else if (t == 201) {
            const int level = Read14(image, 442);
            if (level > 1800) {
                image[block] = 0;
            } else {
                for (std::size_t at : {minimum, maximum})
                    Write14(image, at, std::min(level + image[at + 1], 1800));
            }
        }
        std::optional<int> target;
        if (modeOneSeen_ && t >= kAlternativeFirst &&
            t < kAlternativeFirst + static_cast<int>(kAlternativeTargets.size()) && B[8] > B[12])
            target = kAlternativeTargets[static_cast<std::size_t>(t - kAlternativeFirst)];
        else
            target = earlier::TranslateByRanges(kTargetRanges, t);
        if (target)
            Write14(image, block + earlier::kAssignTarget, *target);
        else
            image[block] = 0;
        if (k != 10 && k != 11) {
            std::uint8_t& s = image[block + earlier::kAssignSource];
            if (s == 1)
                s = 2;
            else if (s == 2)
                s = 1;
            else if (s >= 6 && s <= 68)
                s = static_cast<std::uint8_t>(s + 5);
        }
    }
}
