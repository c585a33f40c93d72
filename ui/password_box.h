#pragma once

class QLineEdit;

// A password box: "*" for every character typed, at most `maxLength` characters (the width of the
// stored password field).
void makePasswordBox(QLineEdit *edit, int maxLength);
