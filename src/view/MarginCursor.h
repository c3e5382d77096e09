#pragma once

#include <QCursor>

// The cursor over the text view's margin: an arrow pointing up and to the right, towards
// the line that a click selects.
QCursor MarginCursor();
