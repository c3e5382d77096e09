#pragma once

// A hook for start-up measurements. With QUILLET_EXIT_AFTER_FIRST_FRAME=1 in the
// environment the program quits right after the first paint of a script's text, the first
// frame that shows what the user started it for; windows close as on a normal quit.
// Without the variable this reads one environment variable and installs nothing.
void ExitAfterFirstFrameIfAsked();
