// Stands in for the disk checker: prints canned text, sleeps, and records how it was called
// and what the drive held at that moment, so tests see the child's side of the exchange.
//
//   fakechecker --record FILE [--list DIR] [--print TEXT] [--stderr TEXT] [--sleep-ms N]
//               [--exit N] -- ARGUMENTS...
//
// FILE gets one block per call: "call", one "arg:" line per argument after "--", and one
// "entry:NAME:SIZE" line per file in DIR.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char **argv)
{
    std::string record, list, print, error;
    long sleepMs = 0;
    int exitCode = 0;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            arguments.assign(argv + i + 1, argv + argc);
            break;
        }
        if (i + 1 >= argc)
            return 100;
        const std::string value = argv[++i];
        if (option == "--record")
            record = value;
        else if (option == "--list")
            list = value;
        else if (option == "--print")
            print += value;
        else if (option == "--stderr")
            error += value;
        else if (option == "--sleep-ms")
            sleepMs = std::atol(value.c_str());
        else if (option == "--exit")
            exitCode = std::atoi(value.c_str());
        else
            return 100;
    }

    if (!record.empty()) {
        std::ofstream out(record, std::ios::app);
        out << "call\n";
        for (const std::string &argument : arguments)
            out << "arg:" << argument << '\n';
        std::error_code ignored;
        if (!list.empty()) {
            for (const auto &entry : std::filesystem::directory_iterator(list, ignored))
                out << "entry:" << entry.path().filename().string() << ':'
                    << entry.file_size(ignored) << '\n';
        }
    }
    std::fputs(print.c_str(), stdout);
    std::fflush(stdout);
    std::fputs(error.c_str(), stderr);
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    return exitCode;
}
