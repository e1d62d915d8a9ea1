#pragma once

#include <optional>

// The program as main() starts it: the command line's own answers (help,
// version, the print queue) before anything else, else the application on
// the Linux platform, run until it ends.
class Program {
  public:
    Program(int& argc, char** argv);
    int run();

  private:
    int& argc_;
    char** argv_;
    std::optional<int> answered_;  // the exit status of an answer on the command line
};
