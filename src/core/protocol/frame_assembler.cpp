// The frame assembler: one per byte source. It removes stuffing while it collects a frame and
// reports the frame at its unescaped CR. A frame that does not fit into the buffer is dropped
// whole instead of being overwritten from the start, so that the tail of an oversized frame is
// never taken for the beginning of the next one.
#include "protocol/frame_assembler.h"

#include <cstring>

void ResetFrameAssembler(stFrameAssembler* assembler) {
    std::memset(assembler, 0, sizeof *assembler);
}

int FeedFrameAssembler(stFrameAssembler* assembler, const uint8_t* bytes, int count,
                       stAssembledFrame* frame) {
    stFrameAssembler& a = *assembler;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        if (!a.escape && b == kCr) {
            if (a.overrun) {
                // End of the dropped frame: start afresh and keep going with this chunk.
                a.overrun = 0;
                a.position = 0;
                a.escCount = 0;
                continue;
            }
            a.buffer[a.position] = b;
            frame->bytes = a.buffer;
            frame->length = a.position + 1;
            frame->escCount = a.escCount;
            frame->consumed = i + 1;
            a.position = 0;
            a.escCount = 0;
            return 1;
        }
        if (!a.escape && b == kEsc) {
            a.escape = 1;
            ++a.escCount;
            continue;
        }
        a.escape = 0;
        if (a.overrun) continue;
        // The last slot stays free for the CR.
        if (a.position >= kFrameAssemblySize - 1) {
            a.overrun = 1;
            continue;
        }
        a.buffer[a.position++] = b;
    }
    frame->bytes = nullptr;
    frame->length = 0;
    frame->escCount = 0;
    frame->consumed = count;
    return 0;
}
