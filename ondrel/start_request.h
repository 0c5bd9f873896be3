#pragma once
#include <string>
#include <variant>

namespace ondrel {

// What the program's command line asks for.
struct StartRequest {
    bool listDevices = false;
    std::string project; // the project file's bytes; empty when none was named
};

// Parses `ondrel [--list-devices] [PROJECT.onp|FOLDER]`. The exit status when
// the command is done (--help, --version: 0; a usage error: 2). Needs a
// QCoreApplication, and no more, so that it runs without a display.
std::variant<StartRequest, int> ParseStartRequest(int argc, char** argv);

// The project file an operand names: a folder stands for its "Project.onp".
std::string ProjectFileOf(const std::string& operand);

} // namespace ondrel
