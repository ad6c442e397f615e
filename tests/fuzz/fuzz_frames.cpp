// Arbitrary bytes through the frame assembler, in chunks chosen by the input itself; each
// completed frame goes through the checker under every mode, and the raw input through
// unescape. Stuffing a checked frame and assembling it again must give the same frame back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "protocol/frame.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    ResetProtocolState(FuzzPanel().protocol);
    static stFrameAssembler assembler;
    ResetFrameAssembler(&assembler);
    const int chunk = 1 + data[0] % 64;
    const uint8_t* bytes = data + 1;
    int left = static_cast<int>(size) - 1;
    while (left > 0) {
        const int n = left < chunk ? left : chunk;
        stAssembledFrame frame;
        int offset = 0;
        while (offset < n && FeedFrameAssembler(&assembler, bytes + offset, n - offset, &frame)) {
            if (frame.length < 1 || frame.length > kFrameAssemblySize || frame.consumed < 1) __builtin_trap();
            offset += frame.consumed;
            std::vector<uint8_t> copy(frame.bytes, frame.bytes + frame.length);
            for (int mode = 0; mode < 0x20; ++mode) {
                int params = -1;
                const int result = CheckFrame(FuzzPanel().protocol, copy.data(), frame.length, static_cast<uint8_t>(mode), mode & 1, &params);
                if (result != CHECK_BAD && (params < 0 || params > frame.length - 2)) __builtin_trap();
            }
            std::vector<uint8_t> stuffed(2 * copy.size());
            const int s = StuffFrame(copy.data(), frame.length, stuffed.data(), static_cast<int>(stuffed.size()));
            static stFrameAssembler again;
            ResetFrameAssembler(&again);
            stAssembledFrame back;
            if (!s || !FeedFrameAssembler(&again, stuffed.data(), s, &back) || back.length != frame.length ||
                std::memcmp(back.bytes, copy.data(), copy.size()) != 0)
                __builtin_trap();
        }
        bytes += n;
        left -= n;
    }
    std::vector<uint8_t> plain(size);
    if (UnescapeFrame(data, static_cast<int>(size), plain.data()) > static_cast<int>(size)) __builtin_trap();
    return 0;
}
