#include "design/design_document.h"
#include "design/editor_state.h"

namespace {
stEditorState g_editor{};
stEditorMode g_mode{};
stDesignDocument g_document{};
}  // namespace

stEditorState& EditorState() { return g_editor; }
stEditorMode& EditorMode() { return g_mode; }
stDesignDocument& DesignDocument() { return g_document; }
