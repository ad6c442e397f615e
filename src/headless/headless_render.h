// Snapshots of the headless panel: the front plate, the LCD drawn by the core's LCD drawing
// through a pixel-buffer hook, the LEDs and the looks of latched keys, as PNG files.
#pragma once

#include <cstdint>
#include <vector>

struct orph_panel;

// The whole panel as the window paints it, 0x00BBGGRR per pixel from the top left. Returns 0
// when there is nothing to draw.
int RenderPanel(orph_panel* panel, int* width, int* height, std::vector<uint32_t>* pixels);

// PNG of the LCD frame alone / of the whole panel. Return 1 when a file was written.
int SaveLcdSnapshot(orph_panel& panel, const char* path);
int SavePanelSnapshot(orph_panel& panel, const char* path);
