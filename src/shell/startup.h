#pragma once

#include "shell/start_request.h"

class FrmMain;
class Platform;

// The start-up sequence: brings the created main window to life from the
// settings file and the command line, shows it and starts the timer.
// SIGTERM, SIGINT and the end of the session act as a close request.
void connectCloseRequests(FrmMain& window, Platform& platform);

void runStartUp(FrmMain& window, Platform& platform, const StartRequest& request);
