// The host path and the to-host queue. See host_link.h for the threads that enter here.
#include "protocol/host_link.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "common/alloc.h"
#include "design/object_model.h"
#include "protocol/frame.h"

namespace {
stHostLinkHooks g_hooks{};
// The host's threads and the user-interface thread (injected commands) feed the same
// assembler; the lock covers only the feed, never the hand-over, which waits for the
// user-interface thread.
std::mutex g_hostAssemblerLock;
stFrameAssembler g_hostAssembler{};

// Written by the host's SetRxTarget call, read by its CheckRx calls (possibly other threads).
std::atomic<void (*)()> g_rxCallback{nullptr};
std::atomic<unsigned char*> g_rxByte{nullptr};

int AppendMessage(stObjList* list, const uint8_t* bytes, uint32_t count) {
    if (!list) return 0;
    stTextItem* item = NewTextItem(bytes, count);
    if (!item) return 0;
    if (!AppendItem(list, item)) {
        OrpFree(item->text);
        OrpFree(item);
        return 0;
    }
    return 1;
}

stTextItem* FirstMessage(stObjList* list) {
    if (!list) return nullptr;
    ListLockGuard guard(ListLock());
    return list->first ? static_cast<stTextItem*>(list->first->item) : nullptr;
}
}  // namespace

void SetHostLinkHooks(const stHostLinkHooks* hooks) {
    g_hooks = hooks ? *hooks : stHostLinkHooks{};
}

void HostLinkSetRxTarget(void (*callback)(), unsigned char* byteBuffer) {
    g_rxCallback = callback;
    g_rxByte = byteBuffer;
}

void HostLinkReceiveFromApp(const unsigned char* data, unsigned int length) {
    if (!data || !length) return;
    // Only the first frame of a call counts, so a call longer than INT_MAX bytes is cut there.
    const int count = length > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(length);
    uint8_t frame[kFrameAssemblySize];
    int frameLength;
    {
        std::lock_guard<std::mutex> guard(g_hostAssemblerLock);
        stAssembledFrame assembled;
        if (!FeedFrameAssembler(&g_hostAssembler, data, count, &assembled)) return;
        frameLength = assembled.length;
        std::memcpy(frame, assembled.bytes, static_cast<size_t>(frameLength));
    }
    if (g_hooks.forwardToLink) g_hooks.forwardToLink(data, length);
    AppendMessage(DesignLists().incoming, frame, static_cast<uint32_t>(frameLength));
    if (g_hooks.monitorLine) g_hooks.monitorLine(MONITOR_HOST_TO_PANEL, data, length);
    if (g_hooks.handOver)
        g_hooks.handOver();
    else
        DiscardIncomingQueue();
}

int HostLinkCheckRx() {
    stObjList* queue = DesignLists().toHost;
    stTextItem* message = FirstMessage(queue);
    if (!message) return 0;
    // Without a receive target the message waits for one instead of being lost.
    void (*callback)() = g_rxCallback;
    unsigned char* target = g_rxByte;
    if (!callback || !target) return 0;
    // Only this consumer removes from the to-host queue, so the message stays valid while the
    // callback runs without the list lock.
    const auto* bytes = reinterpret_cast<const unsigned char*>(message->text);
    for (uint32_t i = 0; i < message->length; ++i) {
        *target = bytes[i];
        callback();
    }
    if (g_hooks.monitorLine) g_hooks.monitorLine(MONITOR_PANEL_TO_HOST, bytes, message->length);
    RemoveTextItem(queue, message);
    return 1;
}

int QueueForHost(const uint8_t* bytes, uint32_t count) {
    return AppendMessage(DesignLists().toHost, bytes, count);
}

int SendToHost(const uint8_t* message, int length, int repeat, uint8_t* sequenceUsed) {
    uint8_t frame[kFrameBuildSize];
    const int framed = BuildFrame(message, length, repeat, frame, sequenceUsed);
    if (!framed) return 0;
    uint8_t stuffed[kFrameStuffSize];
    const int n = StuffFrame(frame, framed, stuffed, kFrameStuffSize);
    return n ? QueueForHost(stuffed, static_cast<uint32_t>(n)) : 0;
}

int DiscardIncomingQueue() {
    stObjList* queue = DesignLists().incoming;
    int removed = 0;
    while (stTextItem* message = FirstMessage(queue)) {
        RemoveTextItem(queue, message);
        ++removed;
    }
    return removed;
}

void ResetHostLink() {
    g_hooks = stHostLinkHooks{};
    {
        std::lock_guard<std::mutex> guard(g_hostAssemblerLock);
        ResetFrameAssembler(&g_hostAssembler);
    }
    g_rxCallback = nullptr;
    g_rxByte = nullptr;
}
