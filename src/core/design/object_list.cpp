// The panel object operations: copy, find by place or id, remove and free. They take no lock;
// the lists' owners say which lock guards them.
#include <cstring>

#include "common/alloc.h"
#include "design/object_model.h"

stPanelObject* InitPanelObject(stPanelObject* record) {
    std::memset(record, 0, sizeof *record);
    record->refresh = 1;
    record->placement.id = -1;
    return record;
}

stPanelObject* CopyPanelObject(stHeap& heap, const stPanelObject* source) {
    auto* copy = static_cast<stPanelObject*>(OrpAlloc(heap, sizeof(stPanelObject)));
    if (!copy) return nullptr;
    *copy = *source;
    copy->name = nullptr;
    copy->tooltip = nullptr;
    if ((source->name && !(copy->name = OrpStrDup(heap, source->name))) ||
        (source->tooltip && !(copy->tooltip = OrpStrDup(heap, source->tooltip)))) {
        OrpFree(copy->name);
        OrpFree(copy);
        return nullptr;
    }
    return copy;
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

int RemovePanelObject(stObjList* list, stPanelObject* object) {
    return RemoveItemWith(list, object, ReleasePanelObject);
}

stObjList* FreeObjectList(stObjList* list) { return FreeListWith(list, ReleasePanelObject); }
stObjList* FreeOwningObjectList(stObjList* list) { return FreeListWith(list, ReleaseOwningPanelObject); }
