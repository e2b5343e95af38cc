// Paints the viewer's frames into the console it runs in, in place and in
// colour, and gives the console back as it found it.
#pragma once

#include <vector>

#include "tools/ledview/led_frame.h"

struct ConsoleSize {
  int columns;
  int rows;
};

// False when standard output is not a console.
bool StartConsoleScreen();
// The visible window of the console on standard output, asked anew on every
// call so that a resized terminal is followed. False when there is none.
bool ConsoleWindowSize(ConsoleSize* size);
// Draws frame at the window's top-left corner in one write, when it differs
// from the last one painted; after a resize the window is cleared first.
void PaintFrame(const std::vector<FrameLine>& frame, ConsoleSize size);
// Colours and cursor as they were, the cursor below the frame, a newline.
void StopConsoleScreen();

// One frame written where the output stands: in colour to a console, as
// plain lines to a file or pipe. False when it could not be written.
bool WriteFrameOnce(const std::vector<FrameLine>& frame);
