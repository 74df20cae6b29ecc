// The request a later copy of the desktop program hands the running copy over its local socket
// (CHandOverParser), on any bytes, arriving in pieces of any size.
//
// The pieces do not matter: the bytes in one piece or in the pieces the input's first byte chooses give
// the same state and request. A complete request is exactly the bytes its request encodes to (so only
// well-formed requests are taken), with at most kMaxFiles absolute UTF-8 paths and no NUL; an invalid one
// stays invalid whatever follows; no line longer than the limit is ever held. Base64 decoding is strict:
// what decodes encodes back to the same text.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/hand_over_request.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CHandOverParser whole;
    const CHandOverParser::State state = whole.Add(bytes);
    FUZZ_CHECK(whole.Held() < CHandOverParser::kMaxLineBytes);

    // The same bytes in pieces: piece lengths 1 to 16 from the first byte on.
    CHandOverParser pieces;
    const std::size_t step = size > 0 ? (data[0] & 0x0F) + 1 : 1;
    for (std::size_t offset = 0; offset < size; offset += step)
        pieces.Add(bytes.substr(offset, step));
    FUZZ_CHECK(pieces.GetState() == state);

    switch (state) {
        case CHandOverParser::State::Complete: {
            const HandOverRequest& request = whole.Request();
            FUZZ_CHECK(pieces.Request() == request);
            FUZZ_CHECK(EncodeHandOverRequest(request) == bytes);
            FUZZ_CHECK(request.activate != !request.files.empty());
            FUZZ_CHECK(request.files.size() <= CHandOverParser::kMaxFiles);
            for (const std::string& file : request.files) {
                FUZZ_CHECK(!file.empty() && file.size() <= CHandOverParser::kMaxPathBytes);
                FUZZ_CHECK(file.find('\0') == std::string::npos);
                FUZZ_CHECK(IsUtf8(file) && IsAbsolutePath(file));
            }
            FUZZ_CHECK(whole.Add("X") == CHandOverParser::State::Invalid);
            break;
        }
        case CHandOverParser::State::Invalid:
            FUZZ_CHECK(whole.Add(EncodeHandOverRequest({true, {}})) == CHandOverParser::State::Invalid);
            break;
        case CHandOverParser::State::Incomplete:
            FUZZ_CHECK(size <= CHandOverParser::kMaxRequestBytes);
            break;
    }

    // Base64 both ways.
    std::string decoded;
    if (DecodeBase64(bytes, decoded)) FUZZ_CHECK(EncodeBase64(decoded) == bytes);
    FUZZ_CHECK(DecodeBase64(EncodeBase64(bytes), decoded) && decoded == bytes);
    return 0;
}
