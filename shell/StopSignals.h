// SIGTERM and SIGHUP end the desktop program and keep a changed listing
// among the recovered ones, even while a command holds the event loop.
#pragma once

namespace kuv {

class TFormM;

// From here on, SIGTERM and SIGHUP keep the main window's changed listing
// and end the program with 128 + the signal's number.
void WatchStopSignals(TFormM* main);
// The windows are about to go: a signal from now on finds nothing to keep.
void WindowsGone();
// 128 + the number of the signal that ended the program; 0 for none.
int StopCode();

}  // namespace kuv
