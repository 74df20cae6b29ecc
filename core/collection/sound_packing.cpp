#include "collection/sound_packing.h"

#include <algorithm>
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
}  // namespace

void PackSound(const SoundData& data, std::vector<std::uint8_t>& packed) {
    // Written into a buffer of the sound's size: a packing that does not fit is no shorter than the sound.
    packed.resize(kSize);
    std::uint8_t* const out = packed.data();
    std::size_t used = 0;
    out[used++] = kPackedFormat;
    const std::uint8_t* const in = data.data();
    std::size_t literal = 0;  // where the bytes not yet written begin
    std::size_t i = 0;
    while (i < kSize) {
        const std::uint8_t value = in[i];
        std::size_t end = i + 1;
        if (value == 0) {
            // Zero runs are long: eight bytes at a time while they last.
            for (std::uint64_t next; end + 8 <= kSize; end += 8) {
                std::memcpy(&next, in + end, 8);
                if (next != 0) break;
            }
        }
        while (end < kSize && in[end] == value)
            ++end;
        std::size_t run = end - i;
        const bool zero = value == 0;
        const std::size_t least = zero ? kZeroMin : kRepeatMin;
        if (run >= least) {
            // The literal before the run, then the run (a rest too short for a run joins the next literal),
            // when there is room for both.
            const std::size_t most = zero ? kZeroMax : kRepeatMax;
            const std::size_t literalBytes = (i - literal) + (i - literal + kLiteralMax - 1) / kLiteralMax;
            if (used + literalBytes + (run / most + 1) * 2 > kSize) break;
            while (literal < i) {
                const std::size_t count = std::min(i - literal, kLiteralMax);
                out[used++] = static_cast<std::uint8_t>(count - 1);
                std::memcpy(out + used, in + literal, count);
                used += count;
                literal += count;
            }
            while (run >= least) {
                const std::size_t count = std::min(run, most);
                out[used++] = static_cast<std::uint8_t>((zero ? kZeroToken : kRepeatToken) + (count - least));
                if (!zero) out[used++] = value;
                run -= count;
                literal += count;
            }
        }
        i = end;
    }
    if (i == kSize) {
        const std::size_t rest = kSize - literal;
        if (used + (rest + kLiteralMax - 1) / kLiteralMax + rest < kSize) {
            while (literal < kSize) {
                const std::size_t count = std::min(kSize - literal, kLiteralMax);
                out[used++] = static_cast<std::uint8_t>(count - 1);
                std::memcpy(out + used, in + literal, count);
                used += count;
                literal += count;
            }
            packed.resize(used);
            return;
        }
    }
    // No shorter packed: the sound as it is.
    std::memcpy(out, in, kSize);
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
