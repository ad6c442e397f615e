// The host path and the to-host queue. See host_link.h for the threads that enter here.
#include "protocol/host_link.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "protocol/frame.h"
#include "protocol/protocol.h"

namespace {
void ShowInMonitor(const stProtocol& p, int direction, const uint8_t* bytes, unsigned int length) {
    p.platform->ShowHostBytes(direction, bytes, length, ActiveProtocolMode(p), PendingProtocolMode(p));
}
}  // namespace

void HostLinkSetRxTarget(stProtocol& p, void (*callback)(), unsigned char* byteBuffer) {
    p.rxCallback = callback;
    p.rxByte = byteBuffer;
}

void HostLinkReceiveFromApp(stProtocol& p, const unsigned char* data, unsigned int length) {
    if (!data || !length) return;
    // Only the first frame of a call counts, so a call longer than INT_MAX bytes is cut there.
    const int count = length > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(length);
    uint8_t frame[kFrameAssemblySize];
    int frameLength;
    {
        std::lock_guard<std::mutex> guard(p.hostAssemblerLock);
        stAssembledFrame assembled;
        if (!FeedFrameAssembler(&p.hostAssembler, data, count, &assembled)) return;
        frameLength = assembled.length;
        std::memcpy(frame, assembled.bytes, static_cast<size_t>(frameLength));
    }
    p.platform->ForwardToLink(data, length);
    p.incoming.Append(*p.heap, frame, static_cast<uint32_t>(frameLength));
    ShowInMonitor(p, MONITOR_HOST_TO_PANEL, data, length);
    if (!p.platform->HandOver()) DiscardIncomingQueue(p);
}

int HostLinkCheckRx(stProtocol& p) {
    const stQueuedMessage* message = p.toHost.Front();
    if (!message) return 0;
    // Without a receive target the message waits for one instead of being lost.
    void (*callback)() = p.rxCallback;
    unsigned char* target = p.rxByte;
    if (!callback || !target) return 0;
    // Only this consumer removes from the to-host queue, so the message stays valid while the
    // callback runs without the queue's lock.
    const unsigned char* bytes = message->bytes;
    for (uint32_t i = 0; i < message->length; ++i) {
        *target = bytes[i];
        callback();
    }
    ShowInMonitor(p, MONITOR_PANEL_TO_HOST, bytes, message->length);
    p.toHost.Remove(message);
    return 1;
}

int QueueForHost(stProtocol& p, const uint8_t* bytes, uint32_t count) { return p.toHost.Append(*p.heap, bytes, count); }

int SendToHost(stProtocol& p, const uint8_t* message, int length, int repeat, uint8_t* sequenceUsed) {
    uint8_t frame[kFrameBuildSize];
    const int framed = BuildFrame(p, message, length, repeat, frame, sequenceUsed);
    if (!framed) return 0;
    uint8_t stuffed[kFrameStuffSize];
    const int n = StuffFrame(frame, framed, stuffed, kFrameStuffSize);
    return n ? QueueForHost(p, stuffed, static_cast<uint32_t>(n)) : 0;
}

int DiscardIncomingQueue(stProtocol& p) { return p.incoming.Clear(); }

int InjectCommand(stProtocol& p, const uint8_t* message, int length) {
    if (!message || length <= 0) return 0;
    uint8_t frame[kFrameBuildSize];
    int framed;
    const uint8_t mode = ActiveProtocolMode(p);
    if ((mode & MODE_SEQUENCE) && message[0] != 'R') {
        // The injected command carries the injection counter as its sequence byte; the builder
        // then runs without sequence bytes so that it adds no second one.
        if (length > kFrameBuildSize - 1) return 0;
        uint8_t work[kFrameBuildSize];
        std::memcpy(work, message, static_cast<size_t>(length));
        uint8_t next = static_cast<uint8_t>(p.injectionSequence + 1);
        if (next >= 'e') next = 'Q';
        work[length] = next;
        framed = BuildFrameWithMode(p, static_cast<uint8_t>(mode & ~MODE_SEQUENCE), work, length + 1, 0,
                                    frame);
        if (!framed) return 0;
        p.injectionSequence = next;
    } else {
        framed = BuildFrameWithMode(p, mode, message, length, 0, frame);
        if (!framed) return 0;
    }
    uint8_t stuffed[kFrameStuffSize];
    const int n = StuffFrame(frame, framed, stuffed, kFrameStuffSize);
    if (!n) return 0;
    HostLinkReceiveFromApp(p, stuffed, static_cast<unsigned int>(n));
    return 1;
}

void ResetHostLink(stProtocol& p) {
    {
        std::lock_guard<std::mutex> guard(p.hostAssemblerLock);
        ResetFrameAssembler(&p.hostAssembler);
    }
    p.rxCallback = nullptr;
    p.rxByte = nullptr;
    p.toHost.Clear();
    p.incoming.Clear();
}
