#pragma once

// What the toolkit says on standard error. A run from a script keeps standard error for its
// own messages; a start that finds no display ends with a sentence instead of an abort.
namespace vsr::app {

// From now on only the toolkit's critical and fatal messages reach standard error: its
// warnings (no runtime folder, a platform that can't size windows) mean nothing to a run
// nobody watches.
void keepToolkitWarningsQuiet();

// While the application object is made: a fatal message (no display could be opened) prints
// `program`: "cannot open the window" and why, and ends the process with status 1.
void exitCleanlyIfNoWindowCanOpen(const char* program);
// Back to the toolkit's own handling of fatal messages, once the application object exists.
void windowOpened();

}  // namespace vsr::app
