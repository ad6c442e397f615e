// The object list operations: append, find, remove and free. They take no lock; the lists'
// owners say which lock guards them.
#include <cstring>

#include "common/alloc.h"
#include "design/object_model.h"

stObjList* NewObjList() {
    auto* list = static_cast<stObjList*>(OrpAlloc(sizeof(stObjList)));
    if (list) *list = stObjList{0, nullptr, nullptr};
    return list;
}

int AppendItem(stObjList* list, void* item) {
    if (!list) return 0;
    auto* node = static_cast<stListNode*>(OrpAlloc(sizeof(stListNode)));
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

stTextItem* NewTextItem(const void* bytes, uint32_t length) {
    auto* item = static_cast<stTextItem*>(OrpAlloc(sizeof(stTextItem)));
    if (!item) return nullptr;
    item->text = static_cast<char*>(OrpAlloc(static_cast<std::size_t>(length) + 1));
    if (!item->text) {
        OrpFree(item);
        return nullptr;
    }
    if (length) std::memcpy(item->text, bytes, length);
    item->text[length] = '\0';
    item->length = length;
    return item;
}

stPanelObject* InitPanelObject(stPanelObject* record) {
    std::memset(record, 0, sizeof *record);
    record->refresh = 1;
    record->placement.id = -1;
    return record;
}

stPanelObject* CopyPanelObject(const stPanelObject* source) {
    auto* copy = static_cast<stPanelObject*>(OrpAlloc(sizeof(stPanelObject)));
    if (!copy) return nullptr;
    *copy = *source;
    copy->name = nullptr;
    copy->tooltip = nullptr;
    if ((source->name && !(copy->name = OrpStrDup(source->name))) ||
        (source->tooltip && !(copy->tooltip = OrpStrDup(source->tooltip)))) {
        OrpFree(copy->name);
        OrpFree(copy);
        return nullptr;
    }
    return copy;
}

stListNode* FindNode(stObjList* list, const void* item) {
    if (!list) return nullptr;
    for (stListNode* node = list->first; node; node = node->next)
        if (node->item == item) return node;
    return nullptr;
}

namespace {
template <typename Match>
stPanelObject* FindObject(stObjList* list, Match match) {
    if (!list) return nullptr;
    for (stListNode* node = list->first; node; node = node->next) {
        auto* object = static_cast<stPanelObject*>(node->item);
        if (object && match(*object)) return object;
    }
    return nullptr;
}

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

void ReleasePanelObject(void* item) {
    auto* object = static_cast<stPanelObject*>(item);
    if (!object) return;
    OrpFree(object->name);
    OrpFree(object->tooltip);
    OrpFree(object);
}

void ReleaseOwningPanelObject(void* item) {
    auto* object = static_cast<stPanelObject*>(item);
    if (object && object->second) {
        ReleasePanelObject(object->second);
        object->second = nullptr;
    }
    ReleasePanelObject(item);
}
}  // namespace

stPanelObject* FindKeyAt(stObjList* list, int32_t x, int32_t y) {
    return FindObject(list, [&](const stPanelObject& o) {
        return o.kind == kKindKey && RectContains(o.pixelRect(), x, y);
    });
}

stPanelObject* FindLedAt(stObjList* list, int32_t x, int32_t y) {
    return FindObject(list, [&](const stPanelObject& o) {
        return o.kind == kKindLed && RectContains(o.pixelRect(), x, y);
    });
}

stPanelObject* FindKeyById(stObjList* list, int32_t id) {
    return FindObject(list, [&](const stPanelObject& o) { return o.kind == kKindKey && o.id() == id; });
}

stPanelObject* FindLedById(stObjList* list, int32_t id) {
    return FindObject(list, [&](const stPanelObject& o) {
        return o.kind == kKindLed && (o.id() == id || (o.second && o.second->id() == id));
    });
}

int32_t NextFreeId(stObjList* list, int32_t start) {
    int32_t candidate = start;
    if (!list) return candidate;
    for (stListNode* node = list->first; node;) {
        auto* object = static_cast<stPanelObject*>(node->item);
        bool taken = object && (object->id() == candidate ||
                                (object->multicolour && object->second && object->second->id() == candidate));
        if (taken) {
            ++candidate;
            node = list->first;  // restart: an earlier object may hold the new candidate
        } else {
            node = node->next;
        }
    }
    return candidate;
}

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

int RemovePanelObject(stObjList* list, stPanelObject* object) {
    return RemoveItemWith(list, object, ReleasePanelObject);
}

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

stObjList* FreeObjectList(stObjList* list) { return FreeListWith(list, ReleasePanelObject); }
stObjList* FreeOwningObjectList(stObjList* list) { return FreeListWith(list, ReleaseOwningPanelObject); }
stObjList* FreeTextList(stObjList* list) { return FreeListWith(list, ReleaseTextItem); }
