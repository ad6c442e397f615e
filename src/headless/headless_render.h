// Snapshots of the headless panel: the front plate, the LCD drawn by the core's LCD drawing
// through a pixel-buffer hook, the LEDs and the looks of latched keys, as PNG files.
#pragma once

// PNG of the LCD frame alone / of the whole panel. Return 1 when a file was written.
int SaveLcdSnapshot(const char* path);
int SavePanelSnapshot(const char* path);

// Keys that show the pressed look (latched with Ctrl+click); release all clears them.
void SetKeyLooksPressed(int id, bool pressed);
void ClearKeyLooks();
