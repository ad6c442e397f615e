#include "common/alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {
std::atomic<int> g_allocationsUntilFailure{-1};

// The heap is the process's, and so is the place its failures are reported to.
std::atomic<AllocFailureSink> g_failureSink{nullptr};
std::atomic<void*> g_failureContext{nullptr};

bool InjectedFailure() {
    int left = g_allocationsUntilFailure.load();
    while (left >= 0) {
        if (g_allocationsUntilFailure.compare_exchange_weak(left, left - 1)) return left == 0;
    }
    return false;
}
}  // namespace

void OrpFailAllocationAfter(int okCount) { g_allocationsUntilFailure.store(okCount); }

void SetAllocFailureSink(AllocFailureSink sink, void* context) {
    g_failureSink.store(nullptr);
    g_failureContext.store(context);
    g_failureSink.store(sink);
}

void* OrpAlloc(std::size_t size) {
    void* block = InjectedFailure() ? nullptr : std::malloc(size ? size : 1);
    if (!block) {
        if (AllocFailureSink sink = g_failureSink.load()) sink(g_failureContext.load());
    }
    return block;
}

void OrpFree(void* block) { std::free(block); }

char* OrpStrDup(const char* text) {
    if (!text) return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(OrpAlloc(length + 1));
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}
