#pragma once
// Starting the bar from the gateway, so that at sign-in the bar's first
// requests find the gateway already listening: two Run entries start in no
// set order, and a bar that asks before the gateway listens waits a whole
// update interval (minutes) for its first quotes.

namespace service {

// The option, taken off the command line before the gateway's own options
// are read: start the bar beside this program once the port is bound, or
// at once when this start will not serve (another gateway already runs, or
// the port cannot be had), since the user asked for the bar either way.
extern const char* const kStartBarOption;

// Starts velmoria.exe from this program's folder, with that folder as its
// working folder; false when it could not be started.
bool StartBarBesideThisProgram();

}  // namespace service
