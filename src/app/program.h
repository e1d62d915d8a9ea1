#pragma once

#include "app/command_line.h"

// The program as main() starts it: the command line read once, then what it
// asks for: a text (help, version, a complaint), the print queue, or the
// application on the Linux platform, run until it ends.
class Program {
  public:
    Program(int& argc, char** argv);
    int run();

  private:
    int runPrinterCommand();
    int runWindow();

    int& argc_;
    char** argv_;
    CommandLine command_;
};
