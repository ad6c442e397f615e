// Routing of the main window's mouse and keyboard messages. Editing (design mode with Shift,
// LCD placement) takes a message first; what it leaves goes to operating-mode input.
#include "ui/main_input.h"

#include "design/editor_input.h"
#include "lcd/lcd_control_panel.h"
#include "ui/help_window.h"
#include "ui/main_handlers.h"
#include "ui/panel_input.h"

namespace {
// Carries out what the editor left to repaint; true when the editor took the message.
bool Apply(HWND window, const stEditorStep& step) {
    if (step.repaint != PanelRepaint::kNone) RepaintPanelArea(window, step.repaint == PanelRepaint::kPanelAreaErased);
    return step.handled;
}
}  // namespace

void OnMouseMove(HWND window, WPARAM keys, int x, int y) {
    if (!Apply(window, EditorMouseMove(window, keys, x, y))) PanelMouseMove(window, keys, x, y);
    ShowMouseCoordinates(window, x, y);
}

void OnLeftButtonDown(HWND window, WPARAM keys, int x, int y) {
    if (Apply(window, EditorLeftButtonDown(window, keys, x, y))) return;
    PanelLeftButtonDown(window, keys, x, y);
}

void OnLeftButtonUp(HWND window, WPARAM keys, int x, int y) {
    if (EditorLeftButtonUp(window, keys, x, y)) return;
    PanelLeftButtonUp(window, keys, x, y);
}

void OnRightButtonUp(HWND window, WPARAM keys, int x, int y) { EditorRightButtonUp(window, keys, x, y); }

void OnKeyDown(HWND window, WPARAM virtualKey) { EditorKeyDown(window, virtualKey); }

void OnKeyUp(HWND window, WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
        EditorKeyUp(window, virtualKey);
        break;
    case VK_CONTROL:
        PanelControlReleased(window);
        break;
    case VK_F1:
        HelpKeyF1(window);
        break;
    default:
        if (virtualKey >= VK_F4 && virtualKey <= VK_F10) LcdPanelFunctionKey(window, virtualKey);
        break;
    }
}

void OnChar(HWND window, WPARAM character) {
    if (character == VK_ESCAPE && Apply(window, EditorEscape(window))) return;
    HelpPopupCharacter(window);
}
