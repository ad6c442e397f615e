// The list operations every list shares: append, find, remove and free. They take no lock; the
// lists' owners say which lock guards them.
#include "common/obj_list.h"

#include <cstring>

#include "common/alloc.h"

stObjList* NewObjList(stHeap& heap) {
    auto* list = static_cast<stObjList*>(OrpAlloc(heap, sizeof(stObjList)));
    if (list) *list = stObjList{0, nullptr, nullptr, &heap};
    return list;
}

int AppendItem(stObjList* list, void* item) {
    if (!list) return 0;
    auto* node = static_cast<stListNode*>(OrpAlloc(*list->heap, sizeof(stListNode)));
    if (!node) return 0;
    node->item = item;
    node->next = nullptr;
    if (list->first) {
        node->prev = list->last;
        node->index = list->last->index + 1;
        list->last->next = node;
        list->last = node;
    } else {
        node->prev = nullptr;
        node->index = 0;
        list->first = list->last = node;
    }
    ++list->count;
    return 1;
}

stTextItem* NewTextItem(stHeap& heap, const void* bytes, uint32_t length) {
    auto* item = static_cast<stTextItem*>(OrpAlloc(heap, sizeof(stTextItem)));
    if (!item) return nullptr;
    item->text = static_cast<char*>(OrpAlloc(heap, static_cast<std::size_t>(length) + 1));
    if (!item->text) {
        OrpFree(item);
        return nullptr;
    }
    if (length) std::memcpy(item->text, bytes, length);
    item->text[length] = '\0';
    item->length = length;
    return item;
}

stListNode* FindNode(stObjList* list, const void* item) {
    if (!list) return nullptr;
    for (stListNode* node = list->first; node; node = node->next)
        if (node->item == item) return node;
    return nullptr;
}

namespace {
void Unlink(stObjList* list, stListNode* node) {
    if (list->first == list->last) {
        list->first = list->last = nullptr;
    } else if (!node->prev) {
        list->first = node->next;
        list->first->prev = nullptr;
    } else if (!node->next) {
        list->last = node->prev;
        list->last->next = nullptr;
    } else {
        node->prev->next = node->next;
        node->next->prev = node->prev;
    }
    --list->count;
}

void ReleaseTextItem(void* item) {
    auto* text = static_cast<stTextItem*>(item);
    if (!text) return;
    OrpFree(text->text);
    OrpFree(text);
}
}  // namespace

int RemoveItemWith(stObjList* list, void* item, ItemRelease release) {
    if (!list) return 0;
    stListNode* node = FindNode(list, item);
    if (!node) return 0;
    Unlink(list, node);
    release(node->item);
    OrpFree(node);
    return 1;
}

int RemoveTextItem(stObjList* list, stTextItem* item) { return RemoveItemWith(list, item, ReleaseTextItem); }

stObjList* FreeListWith(stObjList* list, ItemRelease release) {
    if (!list) return nullptr;
    for (stListNode* node = list->first; node;) {
        stListNode* next = node->next;
        release(node->item);
        OrpFree(node);
        node = next;
    }
    OrpFree(list);
    return nullptr;
}

stObjList* FreeTextList(stObjList* list) { return FreeListWith(list, ReleaseTextItem); }
