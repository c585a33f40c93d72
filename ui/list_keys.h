#pragma once

class QAbstractItemView;
class QPushButton;

// The keys of a list window whose buttons add, change and delete the rows of its grid: Insert adds,
// Enter on the grid changes the current row as a double click does, Delete deletes. Each key presses
// its button, so a disabled or hidden button keeps its key from acting, and each button names its key
// in its tooltip. Call it once the buttons are in the list's window.
void addListKeys(QAbstractItemView *grid, QPushButton *add, QPushButton *change, QPushButton *remove);
