#pragma once

// World values to pixels of the current mapping and of the current area's stored axes, and back.
// Pixel results are clamped to -32768..32767 before rounding (halves to even).

int MapX(double x);
int MapY(double y);
int AreaMapX(double x);
int AreaMapY(int axis, double y); // axis 1..4
double PixelToWorldX(int px);
double PixelToWorldY(int py, int axis); // axis 0 = current mapping, 1..4 = stored y axis
