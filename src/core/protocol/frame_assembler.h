// The frame assembler of one byte source (the host path, a serial reader, a target tool).
#pragma once

#include <cstdint>

#include "common/wire.h"

// ---- frame assembler ----------------------------------------------------------------------
// Cuts frames out of a byte stream and removes their stuffing on the way. A frame ends at an
// unescaped CR; the bytes of the same chunk after that CR are not consumed (the caller delivers
// one frame per call). A frame that grows beyond the buffer is dropped as a whole: the assembler
// discards bytes up to the next unescaped CR and reports nothing for it.
struct stFrameAssembler {
    uint8_t escape;     // the previous byte was an unescaped ESC
    uint8_t overrun;    // the current frame did not fit; discarding up to its CR
    int position;       // bytes stored for the current frame
    int escCount;       // ESC bytes removed from the current frame
    uint8_t buffer[kFrameAssemblySize];
};

void ResetFrameAssembler(stFrameAssembler* assembler);

struct stAssembledFrame {
    const uint8_t* bytes;  // inside the assembler's buffer; valid until the next feed
    int length;            // CR included; 0 when no frame is complete
    int escCount;          // ESC bytes that were removed
    int consumed;          // input bytes taken by this call
};

// Feeds `count` bytes. Returns 1 and fills `frame` when a frame was completed, else 0.
int FeedFrameAssembler(stFrameAssembler* assembler, const uint8_t* bytes, int count,
                       stAssembledFrame* frame);
