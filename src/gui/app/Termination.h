#pragma once

class QObject;

namespace app {

// Logging out, shutting down or `kill` (SIGTERM, SIGHUP) and Ctrl-C in a terminal (SIGINT) end
// the program as quitting does: its windows close, its journals end finished, the port is let
// go. The watcher lives as long as `owner`.
void quitOnTermination(QObject* owner);

} // namespace app
