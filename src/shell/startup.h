#pragma once

#include "shell/start_request.h"

class FrmMain;
class PathPicker;
class Platform;

// SIGTERM, SIGINT and the end of the session act as a close request.
void connectCloseRequests(FrmMain& window, Platform& platform);

// The start-up sequence: refuses a second instance, brings the created main
// window to life from the settings file and the command line, shows it,
// takes a file named on the command line, switches the distiller on when
// asked and starts the timer. The program may end inside it. The picker is
// the one the path checks show (the main window's path prompts).
void runStartUp(FrmMain& window, Platform& platform, const StartRequest& request,
                PathPicker& picker);

// The end of a single-file run: opens the PDF in the reader, removes the
// tray icon, saves the settings and ends the program.
void Finish_Single_File(FrmMain& window, Platform& platform);
