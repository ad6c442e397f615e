// Heap allocation for the panel's C-style records.
//
// Every record, node and string of the object model comes from OrpAlloc and goes back through
// OrpFree. A failed allocation returns nullptr, and callers then give up cleanly; it is also
// reported to the failure sink, through which the process's panel writes kOutOfMemoryText to its
// trace output. Tests can make the n-th following allocation fail to reach those paths.
#pragma once

#include <cstddef>

// The text every failed allocation reports.
constexpr const char* kOutOfMemoryText = "Speicherplatzmangel\r\n";

// Called once for each failed allocation with the context it was installed with.
using AllocFailureSink = void (*)(void* context);
// Installs the sink (nullptr: failures are only returned).
void SetAllocFailureSink(AllocFailureSink sink, void* context);

void* OrpAlloc(std::size_t size);
void OrpFree(void* block);
// Heap copy of a NUL-terminated string (nullptr on failure or for a nullptr source).
char* OrpStrDup(const char* text);

// Test hook: the allocation after `okCount` successful ones fails (once). A negative count
// switches the injection off.
void OrpFailAllocationAfter(int okCount);
