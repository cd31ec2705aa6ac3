#pragma once

#include <string>
#include <vector>

class QAction;
class QMenu;

// The popup-menu entry reached by its captions, e.g. {"Measure", "stop"}; null when one is missing.
QAction* FindMenuAction(QMenu* menu, const std::vector<std::string>& path);
