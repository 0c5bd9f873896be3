#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// One option of a command: `--name`, optionally `-c`, a flag unless it names a value.
struct Option {
    std::string name;
    char letter = '\0';
    std::string valueName; // empty for a flag
    std::string help;
};

// The command line of a tool without Qt, parsed the way every Ondrel command
// parses its own: --help and --version print to standard output and end the
// command with 0; an unknown option or a missing value prints the usage to
// standard error and ends it with 2. Arguments stay bytes, as file names are.
class CommandLine {
public:
    // `synopsis` holds the usage lines after "usage: ", one per form.
    CommandLine(std::string program, std::vector<std::string> synopsis, std::vector<Option> options);

    // The exit status when the command is already done, else nothing.
    std::optional<int> Parse(int argc, char** argv);

    bool IsSet(const std::string& name) const { return values_.contains(name); }
    std::string Value(const std::string& name) const;
    const std::vector<std::string>& Operands() const { return operands_; }

    // Prints `problem` and the usage to standard error; the exit status 2.
    int UsageError(const std::string& problem) const;
    std::string Usage() const;

private:
    const Option* Find(const std::string& name) const;
    const Option* Find(char letter) const;

    std::string program_;
    std::vector<std::string> synopsis_;
    std::vector<Option> options_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> operands_;
};

} // namespace cli
