// The viewer's look at the simulated LED controller on a COM port: where
// Wine maps the port, and the last line of the board's LED journal there.
#pragma once

#include "tools/ledview/board_frame.h"

void StartBoardWatch(int comNumber);
// Asks the registry and reads the journal's end anew each time, so that a
// board started or stopped while the viewer runs is followed.
BoardState WatchBoard();
