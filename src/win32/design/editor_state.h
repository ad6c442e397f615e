// The design editor's working state in client pixels: the object being moved, the rubber band,
// the LCD being placed and the property request. Owned by the user-interface thread.
#pragma once

#include <windows.h>

#include "design/object_model.h"
#include "lcd/lcd_type.h"

// What the key and LED property dialog edits: the object, the list it belongs to or will join,
// the dialog resource (LED behaviour for the LED dialogs) and whether it is already in the list.
struct stPropRequest {
    stPanelObject* object;
    stObjList* list;
    int32_t dialogId;
    int32_t existing;
};

// What the window has to repaint after an editing step: the editor changes its state and
// invalidates the objects it moved, and leaves the panel area to the window, which knows it.
enum class PanelRepaint { kNone, kPanelArea, kPanelAreaErased };

// A mouse or key step of the editor: whether it took the message (false leaves it to
// operating-mode input) and what it leaves to repaint.
struct stEditorStep {
    bool handled;
    PanelRepaint repaint;
};

struct stEditorState {
    stPanelObject* dragObject;   // the key or LED being moved
    int32_t dragKind;            // its kind, kept apart so painting never reads the object
    POINT bandStart;             // band: press point; move: the object's current left, top
    POINT bandEnd;               // band: current corner; move: the object's current right, bottom
    POINT anchor;                // centre of the LED circle drawn or moved
    int radius;
    POINT grabOffset;            // cursor minus the moved object's left and top at the press
    SIZE dragSize;
    stPixelRect dragOldRect;     // the moved object's rectangle at the press
    stPixelRect bandRect;        // the finished band
    stPixelRect placeRect;       // the LCD being placed, following the mouse
    stPixelRect placedLcdRect;   // the placed LCD, outlined in design mode
    stLcdType* placeCandidate;   // the LCD type being placed
    stPropRequest request;
};

stEditorState& EditorState();

// The window's editing mode and the editor's progress in it.
struct stEditorMode {
    int panelMode;  // 0 operating, 1 design, 2 LCD placement
    int savedMode;  // the mode to return to after LCD placement
    int drawTool;   // 0, kKindKey or kKindLed: what a Shift drag draws
    int lcdPlaced;
    int lcdPlacing;
    int bandStarted;
    int bandDone;
};

stEditorMode& EditorMode();
