#include "common/alloc.h"

#include <cstdlib>
#include <cstring>

namespace {
bool InjectedFailure(stHeap& heap) {
    int left = heap.allocationsUntilFailure.load();
    while (left >= 0) {
        if (heap.allocationsUntilFailure.compare_exchange_weak(left, left - 1)) return left == 0;
    }
    return false;
}
}  // namespace

void* OrpAlloc(stHeap& heap, std::size_t size) {
    void* block = InjectedFailure(heap) ? nullptr : std::malloc(size ? size : 1);
    if (!block && heap.report) heap.report(heap.reportContext);
    return block;
}

void OrpFree(void* block) { std::free(block); }

char* OrpStrDup(stHeap& heap, const char* text) {
    if (!text) return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(OrpAlloc(heap, length + 1));
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}
