// The protocol record: everything the panel's protocol side remembers between two calls. One
// record belongs to each panel; every function of this folder that needs state takes it.
//
//   - the protocol mode bytes and the sequence counters the frames carry,
//   - the panel state that messages change (LED state, key click settings) and the key bitmaps
//     that key reports are encoded from,
//   - the reset announcement's repetitions and the pending key buffer,
//   - the host path: its frame assembler, the host's receive target and the two message queues.
//
// Threads: the mode bytes and the outgoing sequence counter are also stored by the serial reader
// thread (target reset and mode messages), so they are single-byte atomics; so is the receive
// target, which the host's threads read. The host assembler has its own lock. Everything else is
// used from the user-interface thread, except that the serial reader thread writes whole bytes
// of the key state bitmap (key_input.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "protocol/frame_assembler.h"
#include "protocol/message_queue.h"
#include "common/platform.h"
#include "common/wire.h"

struct stDesign;

constexpr int kPendingKeyBufferSize = 512;

// Key reports waiting for their acknowledgement, merged under one leading 'k'.
struct stPendingKeys {
    uint8_t bytes[kPendingKeyBufferSize];
    int held;          // T: bytes held, the leading 'k' included
    int outstanding;   // O: bytes covered by the last transmission
    uint8_t sequence;  // Q: sequence byte of that transmission
    int retries;
};

struct stProtocol {
    // The platform the protocol side sounds, times, draws and hands over through; the panel
    // installs its own (InstallPlatform), never null.
    PanelPlatform* platform = &NoPlatform();
    // The panel's design: its model says whether the panel answers the host itself and what it
    // can do, its keys and LEDs are what key and LED messages address. Set by the panel; null
    // for a protocol record on its own (it then answers the host and has no keys or LEDs).
    stDesign* design = nullptr;
    // The panel's heap, which the queued frames come from. Set by the panel; a protocol record on
    // its own that queues frames needs one too.
    stHeap* heap = nullptr;

    // ---- modes and sequence counters --------------------------------------------------------
    std::atomic<uint8_t> activeMode{0};
    std::atomic<uint8_t> pendingMode{0};
    std::atomic<uint8_t> outgoingSequence{'c'};  // the next frame carries 'd'
    std::atomic<uint8_t> lastAccepted{0};        // 0 = none
    uint8_t injectionSequence = 'O';             // never reset while loaded

    // ---- panel state --------------------------------------------------------------------------
    uint8_t ledState[kBitmapBytes]{};
    uint8_t keyState[kBitmapBytes]{};      // a set bit is a pressed key
    uint8_t reportedKeys[kBitmapBytes]{};  // the key state as last reported
    uint8_t clickMask[kBitmapBytes]{};
    uint8_t clickMode = 0;                 // 0 silent, 1 every key, otherwise keys of the mask
    bool dispatching = false;              // DispatchAllMessages is running

    // ---- frames the panel sends on its own ---------------------------------------------------
    int announcementRepetitions = 0;
    stPendingKeys pendingKeys{};

    // ---- host path -----------------------------------------------------------------------------
    // The host's threads and the user-interface thread (injected commands) feed the same
    // assembler; the lock covers only the feed, never the hand-over.
    std::mutex hostAssemblerLock;
    stFrameAssembler hostAssembler{};
    // Written by the host's SetRxTarget call, read by its CheckRx calls (possibly other threads).
    std::atomic<void (*)()> rxCallback{nullptr};
    std::atomic<unsigned char*> rxByte{nullptr};
    // Frames for the host in their transmitted form, oldest first: every producer of panel frames
    // appends, the host's CheckRx takes them. And the host's frames, unescaped, waiting for the
    // dispatcher. Each queue has its own lock.
    MessageQueue toHost;
    MessageQueue incoming;
};
