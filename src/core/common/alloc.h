// Heap allocation for the panel's C-style records.
//
// Every record, node and string of the object model comes from OrpAlloc on the heap record of
// the panel it belongs to and goes back through OrpFree. A failed allocation returns nullptr,
// and callers then give up cleanly; it is also reported through the heap, whose panel writes
// kOutOfMemoryText to its own trace output. Tests can make the n-th following allocation of a
// heap fail to reach those paths.
#pragma once

#include <atomic>
#include <cstddef>

// The text every failed allocation reports.
constexpr const char* kOutOfMemoryText = "Speicherplatzmangel\r\n";

// Called once for each failed allocation with the heap's report context.
using AllocFailureReport = void (*)(void* context);

// The allocator of one panel: blocks come from malloc, and a failure is reported to the panel
// that asked. stPanel owns one and sets its report; the records that allocate later keep a
// pointer to it (a list its heap, the design, the LCD type library and the protocol record the
// panel's).
struct stHeap {
    AllocFailureReport report = nullptr;  // nullptr: failures are only returned
    void* reportContext = nullptr;

    // Test hook: the allocation after `okCount` successful ones fails (once). A negative count
    // switches the injection off.
    void FailAllocationAfter(int okCount) { allocationsUntilFailure.store(okCount); }
    std::atomic<int> allocationsUntilFailure{-1};
};

void* OrpAlloc(stHeap& heap, std::size_t size);
void OrpFree(void* block);
// Heap copy of a NUL-terminated string (nullptr on failure or for a nullptr source).
char* OrpStrDup(stHeap& heap, const char* text);
