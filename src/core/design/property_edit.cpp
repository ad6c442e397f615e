#include "design/property_edit.h"

#include "common/alloc.h"
#include "design/lcd_geometry.h"

namespace {

bool ValidId(int32_t id) { return id >= 0 && id <= 255; }

void ReplaceText(stHeap& heap, char** field, const char* text) {
    char* copy = OrpStrDup(heap, text ? text : "");
    if (!copy) return;  // the allocator has traced the shortage; the old text stays
    OrpFree(*field);
    *field = copy;
}

void ApplyGeometry(const stViewScale& scale, stPanelObject* object, const stPropertyEdit& edit) {
    stPixelRect& r = object->pixelRect();
    if (edit.led) {
        r = stPixelRect{edit.x - edit.radius, edit.y - edit.radius, edit.x + edit.radius, edit.y + edit.radius};
    } else {
        r = stPixelRect{edit.x, edit.y, edit.x + edit.width, edit.y + edit.height};
    }
    ObjectToLogical(scale, object);
    if (object->second) {
        object->second->pixelRect() = r;
        object->second->logicalRect() = object->logicalRect();
    }
}

// A second half made from the LED as it is now, with its own identifier.
bool MakeSecond(stHeap& heap, stPanelObject* object, int32_t id) {
    stPanelObject* second = CopyPanelObject(heap, object);
    if (!second) return false;
    second->id() = id;
    second->multicolour = 0;
    second->second = nullptr;
    object->second = second;
    object->multicolour = 1;
    return true;
}

}  // namespace

void InitPropertyEdit(stPropertyEdit* edit, const stPanelObject* object, bool led) {
    *edit = stPropertyEdit{};
    edit->led = led;
    const stPixelRect& r = object->pixelRect();
    edit->width = r.right - r.left;
    edit->height = r.bottom - r.top;
    edit->x = r.left;
    edit->y = r.top;
    edit->id = object->id();
    edit->colours[0] = object->colourOn;
    edit->colours[1] = object->colourOff;
    if (led) {
        edit->radius = edit->width / 2;
        edit->x += edit->radius;
        edit->y += edit->radius;
        edit->multicolourBox = object->multicolour != 0;
        if (object->second) {
            edit->secondId = object->second->id();
            edit->colours[2] = object->second->colourOn;
            edit->colours[3] = object->second->colourOff;
        }
    }
}

int DropSecond(stDesign& design, stPanelObject* object) {
    if (!object || !object->multicolour) return 0;
    if (object->second) {
        OrpFree(object->second->name);
        OrpFree(object->second->tooltip);
        OrpFree(object->second);
    }
    object->second = nullptr;
    object->multicolour = 0;
    ResetLedSelectionCache(design);
    return 1;
}

PropApplyResult ApplyPropertyEdit(stDesign& design, stPanelObject* object, stPropertyEdit* edit) {
    edit->mask |= PROP_ID;
    if (edit->led) ResetLedSelectionCache(design);
    for (uint32_t bit = 1; bit <= PROP_SECOND_COLOUR_OFF; bit <<= 1) {
        if (!(edit->mask & bit)) continue;
        switch (bit) {
        case PROP_NAME:
            ReplaceText(*design.heap, &object->name, edit->name);
            break;
        case PROP_TOOLTIP:
            ReplaceText(*design.heap, &object->tooltip, edit->tooltip);
            break;
        case PROP_ID:
            if (!ValidId(edit->id)) {
                object->id() = 0;
                return kPropBadId;
            }
            object->id() = edit->id;
            break;
        case PROP_GEOMETRY:
            ApplyGeometry(design.scale, object, *edit);
            break;
        case PROP_DROP_SECOND:
            if (edit->led) DropSecond(design, object);
            break;
        case PROP_SECOND_ID:
            // The field only counts while the box is ticked; a cleared box drops the half below.
            if (!edit->led || !edit->multicolourBox) break;
            if (!ValidId(edit->secondId)) return kPropBadSecondId;
            if (object->second)
                object->second->id() = edit->secondId;
            else
                MakeSecond(*design.heap, object, edit->secondId);
            break;
        case PROP_COLOUR_ON:
            object->colourOn = edit->colours[0];
            break;
        case PROP_COLOUR_OFF:
            object->colourOff = edit->colours[1];
            break;
        case PROP_SECOND_COLOUR_ON:
            if (object->second) object->second->colourOn = edit->colours[2];
            break;
        case PROP_SECOND_COLOUR_OFF:
            if (object->second) object->second->colourOff = edit->colours[3];
            break;
        default:
            break;
        }
        edit->mask &= ~bit;
    }
    if (edit->led && !edit->multicolourBox) DropSecond(design, object);
    object->colour = object->colourOff;
    return kPropApplied;
}

int DeletePanelObject(stDesign& design, stObjList* list, stPanelObject* object) {
    ListLockGuard guard(design.listLock);
    if (!list || !FindNode(list, object)) return 0;
    DropSecond(design, object);
    ResetLedSelectionCache(design);
    return RemovePanelObject(list, object);
}
