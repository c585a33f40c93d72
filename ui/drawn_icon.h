#pragma once

#include <QIcon>

#include <functional>

class QPainter;

// A 16-pixel image drawn in code, for tabs and menu items: the program ships no image files.
QIcon drawnIcon(const std::function<void(QPainter &)> &draw);
