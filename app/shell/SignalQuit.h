#pragma once
// Ends the app in good order when the session asks it to (SIGTERM, SIGINT,
// SIGHUP): the request becomes QCoreApplication::quit() on the main thread,
// so that work in flight is cancelled and nothing is left half-written,
// and it ends a modal loop that runs before the main one (a message box at
// start-up) too. Call once, after the application object exists.
namespace larkvale {

void quitOnTerminationSignals();

}  // namespace larkvale
