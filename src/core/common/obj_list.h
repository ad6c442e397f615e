// The doubly linked list every subsystem keeps its heap records in, and text items.
//
// Records are plain C-style structs on the heap (OrpAlloc/OrpFree) because several threads of
// the panel share them. The operations take no lock: a list's owner keeps the lock that guards
// it and its users hold it. A list keeps the heap it was made on; its nodes come from there.
#pragma once

#include <cstdint>
#include <mutex>

struct stHeap;

struct stListNode {
    void* item;        // owned by the list
    stListNode* next;
    stListNode* prev;
    int32_t index;     // unique within the list, never renumbered
};

struct stObjList {
    int32_t count;
    stListNode* first;
    stListNode* last;
    stHeap* heap;      // the panel's heap the list and its nodes come from
};

struct stTextItem {
    char* text;        // NUL-terminated heap copy
    uint32_t length;   // bytes copied, NUL not counted
};

using ListLockGuard = std::lock_guard<std::recursive_mutex>;

stObjList* NewObjList(stHeap& heap);
int AppendItem(stObjList* list, void* item);
stTextItem* NewTextItem(stHeap& heap, const void* bytes, uint32_t length);
stListNode* FindNode(stObjList* list, const void* item);

int RemoveTextItem(stObjList* list, stTextItem* item);
stObjList* FreeTextList(stObjList* list);

// Remove and free for lists whose items need a release of their own (the owner knows its
// record).
using ItemRelease = void (*)(void* item);
int RemoveItemWith(stObjList* list, void* item, ItemRelease release);
stObjList* FreeListWith(stObjList* list, ItemRelease release);
