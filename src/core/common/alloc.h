// Heap allocation for the panel's C-style records.
//
// Every record, node and string of the object model comes from OrpAlloc and goes back through
// OrpFree. A failed allocation writes "Speicherplatzmangel\r\n" to the trace output and returns
// nullptr; callers then give up cleanly. Tests can make the n-th following allocation fail to
// reach those paths.
#pragma once

#include <cstddef>

void* OrpAlloc(std::size_t size);
void OrpFree(void* block);
// Heap copy of a NUL-terminated string (nullptr on failure or for a nullptr source).
char* OrpStrDup(const char* text);

// Test hook: the allocation after `okCount` successful ones fails (once). A negative count
// switches the injection off.
void OrpFailAllocationAfter(int okCount);
