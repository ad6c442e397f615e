// The window code this test program links (LCD and LED painting) draws the running test's panel.
#include "api/dll_panel.h"
#include "test_panel.h"

stPanel& DllPanel() { return TestPanel(); }
