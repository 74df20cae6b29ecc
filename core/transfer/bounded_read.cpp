#include "transfer/bounded_read.h"

bool ReadAtMost(std::istream& stream, std::vector<std::uint8_t>& bytes, std::size_t limit) {
    bytes.clear();
    if (!stream.good()) return false;
    char piece[64 * 1024];
    while (stream && bytes.size() <= limit) {
        stream.read(piece, sizeof piece);
        bytes.insert(bytes.end(), piece, piece + stream.gcount());
    }
    return !stream.bad() && bytes.size() <= limit;
}
