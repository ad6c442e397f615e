// A queue of frames between threads: producers append copies at the back, one consumer reads
// the front and removes it when done with it. The to-host and incoming queues of the protocol
// record are two of these, each with its own lock.
//
// The lock covers only the queue's links, never the use of a message: the front message stays
// valid while the consumer works on it (the host's callback, the dispatcher), because only the
// consumer removes messages. Copies come from OrpAlloc on the heap the producer names; when it
// fails, the frame is dropped.
#pragma once

#include <cstdint>
#include <mutex>

struct stHeap;

struct stQueuedMessage {
    stQueuedMessage* next;
    uint32_t length;
    uint8_t bytes[1];  // `length` bytes and a terminating zero
};

class MessageQueue {
public:
    MessageQueue() = default;
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;
    ~MessageQueue();

    // Appends a copy of the bytes made on `heap`. Returns 1, or 0 when the copy could not be
    // allocated.
    int Append(stHeap& heap, const uint8_t* bytes, uint32_t length);
    // The oldest message, or null when the queue is empty.
    const stQueuedMessage* Front();
    // Removes and frees the oldest message, which must be `message` (from Front).
    void Remove(const stQueuedMessage* message);
    // Removes and frees every message; returns how many there were.
    int Clear();
    int Count();
    // Calls `visit` with each message, oldest first, under the lock; it must not use the queue.
    template <class Visit>
    void ForEach(Visit visit) {
        std::lock_guard<std::mutex> guard(lock_);
        for (const stQueuedMessage* message = first_; message; message = message->next) visit(*message);
    }

private:
    // Frames up to kSpareBytes long travel in nodes of that size, and up to kSpareCount removed
    // nodes wait in `spare_` for the next frames: a steady flow of host messages and answers
    // allocates nothing once the first few nodes exist.
    static constexpr uint32_t kSpareBytes = 64;
    static constexpr int kSpareCount = 16;
    // Keeps a removed node for reuse or frees it; the caller holds no lock.
    void Recycle(stQueuedMessage* message);

    std::mutex lock_;
    stQueuedMessage* first_ = nullptr;
    stQueuedMessage* last_ = nullptr;
    int count_ = 0;
    stQueuedMessage* spare_ = nullptr;
    int spareCount_ = 0;
};
