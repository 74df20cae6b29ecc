#include "collection/sound_packing.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {
constexpr std::size_t kLiteralMax = 128;
constexpr std::size_t kZeroMin = 2;
constexpr std::size_t kZeroMax = 65;
constexpr std::size_t kRepeatMin = 3;
constexpr std::size_t kRepeatMax = 66;
constexpr std::uint8_t kZeroToken = 0x80;
constexpr std::uint8_t kRepeatToken = 0xC0;
constexpr std::size_t kSize = std::tuple_size_v<SoundData>;
// The packed bytes are never longer than the format byte, the sound, and a token for each literal's 128
// bytes.
constexpr std::size_t kPackedRoom = 1 + kSize + (kSize + kLiteralMax - 1) / kLiteralMax;
}  // namespace

void PackSound(const SoundData& data, std::vector<std::uint8_t>& packed) {
    // Written without checks into room for the longest, then copied (or replaced by the sound itself).
    std::array<std::uint8_t, kPackedRoom> room;
    std::uint8_t* const out = room.data();
    std::size_t used = 0;
    out[used++] = kPackedFormat;
    const std::uint8_t* const in = data.data();
    std::size_t literal = 0;  // where the bytes not yet written begin
    const auto flushLiteral = [&](std::size_t end) {
        while (literal < end) {
            const std::size_t count = std::min(end - literal, kLiteralMax);
            out[used++] = static_cast<std::uint8_t>(count - 1);
            std::memcpy(out + used, in + literal, count);
            used += count;
            literal += count;
        }
    };
    std::size_t i = 0;
    while (i < kSize) {
        const std::uint8_t value = in[i];
        std::size_t end = i + 1;
        if (value == 0) {
            // Zero runs are long: eight bytes at a time while they last.
            for (std::uint64_t next; end + 8 <= kSize; end += 8) {
                std::memcpy(&next, in + end, 8);
                if (next == 0) continue;
                // The zero bytes before the first that is not.
                if constexpr (std::endian::native == std::endian::little)
                    end += static_cast<std::size_t>(std::countr_zero(next)) / 8;
                break;
            }
            while (end < kSize && in[end] == 0)
                ++end;
            if (end - i < kZeroMin) {
                i = end;
                continue;
            }
        } else {
            // A byte of a setting stays in the literal unless it repeats.
            if (i + kRepeatMin > kSize || in[i + 1] != value || in[i + 2] != value) {
                ++i;
                continue;
            }
            end = i + kRepeatMin;
            while (end < kSize && in[end] == value)
                ++end;
        }
        // A run: the literal before it, then the run (a rest too short for a run joins the next literal).
        flushLiteral(i);
        const bool zero = value == 0;
        const std::size_t least = zero ? kZeroMin : kRepeatMin;
        const std::size_t most = zero ? kZeroMax : kRepeatMax;
        for (std::size_t run = end - i; run >= least;) {
            const std::size_t count = std::min(run, most);
            out[used++] = static_cast<std::uint8_t>((zero ? kZeroToken : kRepeatToken) + (count - least));
            if (!zero) out[used++] = value;
            run -= count;
            literal += count;
        }
        i = end;
    }
    flushLiteral(kSize);
    if (used < kSize) {
        packed.assign(out, out + used);
    } else {
        // No shorter packed: the sound as it is.
        packed.assign(data.begin(), data.end());
    }
}

bool UnpackSound(std::span<const std::uint8_t> stored, SoundData& data) {
    if (stored.size() == kSize) {
        std::memcpy(data.data(), stored.data(), kSize);
        return true;
    }
    if (stored.size() < 2 || stored[0] != kPackedFormat) return false;
    std::size_t out = 0;
    std::size_t in = 1;
    while (in < stored.size()) {
        const std::uint8_t token = stored[in++];
        if (token < kZeroToken) {
            const std::size_t count = std::size_t{token} + 1;
            if (count > stored.size() - in || count > kSize - out) return false;
            std::memcpy(data.data() + out, stored.data() + in, count);
            in += count;
            out += count;
        } else {
            const bool zero = token < kRepeatToken;
            const std::size_t count =
                zero ? token - kZeroToken + kZeroMin : token - kRepeatToken + kRepeatMin;
            if (!zero && in == stored.size()) return false;
            const std::uint8_t value = zero ? 0 : stored[in++];
            if (count > kSize - out) return false;
            std::memset(data.data() + out, value, count);
            out += count;
        }
    }
    return out == kSize;
}
