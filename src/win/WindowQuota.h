// A fixed number of windows for the whole menu. Windows gives a process 10,000
// user objects by default and refuses more; Wine's server gives way (and takes
// every program with it) beyond about 32,000 windows. A menu that would need more
// than kMaxMenuWindows stops its set-up cleanly instead, on every system alike.
#pragma once

// Leaves a thousand user objects for the dialog, message boxes, cursors and icons.
inline constexpr int kMaxMenuWindows = 9000;

// Takes one place for a window about to be made; false when none is left.
bool ReserveWindow();
