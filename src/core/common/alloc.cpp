#include "common/alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "monitor/trace.h"

namespace {
std::atomic<int> g_allocationsUntilFailure{-1};

bool InjectedFailure() {
    int left = g_allocationsUntilFailure.load();
    while (left >= 0) {
        if (g_allocationsUntilFailure.compare_exchange_weak(left, left - 1)) return left == 0;
    }
    return false;
}
}  // namespace

void OrpFailAllocationAfter(int okCount) { g_allocationsUntilFailure.store(okCount); }

void* OrpAlloc(std::size_t size) {
    void* block = InjectedFailure() ? nullptr : std::malloc(size ? size : 1);
    if (!block) Trace("%s", kOutOfMemoryText);
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
