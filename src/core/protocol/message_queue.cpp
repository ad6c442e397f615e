#include "protocol/message_queue.h"

#include <cstddef>
#include <cstring>

#include "common/alloc.h"

MessageQueue::~MessageQueue() {
    Clear();
    while (spare_) {
        stQueuedMessage* next = spare_->next;
        OrpFree(spare_);
        spare_ = next;
    }
}

int MessageQueue::Append(stHeap& heap, const uint8_t* bytes, uint32_t length) {
    stQueuedMessage* message = nullptr;
    if (length <= kSpareBytes) {
        std::lock_guard<std::mutex> guard(lock_);
        if (spare_) {
            message = spare_;
            spare_ = message->next;
            --spareCount_;
        }
    }
    if (!message) {
        const uint32_t capacity = length <= kSpareBytes ? kSpareBytes : length;
        message = static_cast<stQueuedMessage*>(OrpAlloc(heap, offsetof(stQueuedMessage, bytes) + capacity + 1));
        if (!message) return 0;
    }
    message->next = nullptr;
    message->length = length;
    if (length) std::memcpy(message->bytes, bytes, length);
    message->bytes[length] = 0;
    std::lock_guard<std::mutex> guard(lock_);
    if (last_)
        last_->next = message;
    else
        first_ = message;
    last_ = message;
    ++count_;
    return 1;
}

void MessageQueue::Recycle(stQueuedMessage* message) {
    if (message->length <= kSpareBytes) {
        std::lock_guard<std::mutex> guard(lock_);
        if (spareCount_ < kSpareCount) {
            message->next = spare_;
            spare_ = message;
            ++spareCount_;
            return;
        }
    }
    OrpFree(message);
}

const stQueuedMessage* MessageQueue::Front() {
    std::lock_guard<std::mutex> guard(lock_);
    return first_;
}

void MessageQueue::Remove(const stQueuedMessage* message) {
    stQueuedMessage* removed;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!first_ || first_ != message) return;
        removed = first_;
        first_ = removed->next;
        if (!first_) last_ = nullptr;
        --count_;
    }
    Recycle(removed);
}

int MessageQueue::Clear() {
    stQueuedMessage* chain;
    int removed;
    {
        std::lock_guard<std::mutex> guard(lock_);
        chain = first_;
        removed = count_;
        first_ = last_ = nullptr;
        count_ = 0;
    }
    while (chain) {
        stQueuedMessage* next = chain->next;
        Recycle(chain);
        chain = next;
    }
    return removed;
}

int MessageQueue::Count() {
    std::lock_guard<std::mutex> guard(lock_);
    return count_;
}
