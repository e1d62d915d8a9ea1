// A stand-in for Ghostscript in tests. It appends its arguments, one per line
// and a blank line after them, to the file named by FAKE_GS_LOG, waits
// FAKE_GS_SLEEP_MS milliseconds, and writes the smallest whole PDF to the path
// given by -sOutputFile= unless FAKE_GS_WRITE is "no".
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char* argv[]) {
    if (const char* log = std::getenv("FAKE_GS_LOG")) {
        std::ofstream out(log, std::ios::app);
        for (int i = 1; i < argc; ++i) {
            out << argv[i] << '\n';
        }
        out << '\n';
    }
    if (const char* sleep = std::getenv("FAKE_GS_SLEEP_MS")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(sleep)));
    }
    const char* write = std::getenv("FAKE_GS_WRITE");
    if (write != nullptr && std::string(write) == "no") {
        return 1;
    }
    const std::string prefix = "-sOutputFile=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(prefix, 0) == 0) {
            std::ofstream(arg.substr(prefix.size()), std::ios::binary)
                << "%PDF-1.4\n% fake\ntrailer\n<< >>\nstartxref\n9\n%%EOF\n";
        }
    }
    return 0;
}
