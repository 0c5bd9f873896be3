#include "tools/cli/command_line.h"
#include "tools/cli/version.h"
#include <cstdio>

namespace cli {

CommandLine::CommandLine(std::string program, std::vector<std::string> synopsis, std::vector<Option> options)
    : program_(std::move(program)), synopsis_(std::move(synopsis)), options_(std::move(options))
{
    options_.push_back({"help", 'h', "", "print this help and exit"});
    options_.push_back({"version", '\0', "", "print the version and exit"});
}

const Option* CommandLine::Find(const std::string& name) const
{
    for (const Option& option : options_)
        if (option.name == name)
            return &option;
    return nullptr;
}

const Option* CommandLine::Find(char letter) const
{
    for (const Option& option : options_)
        if (option.letter != '\0' && option.letter == letter)
            return &option;
    return nullptr;
}

std::optional<int> CommandLine::Parse(int argc, char** argv)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            operands_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool isLong = arg.starts_with("--");
        const size_t equals = isLong ? arg.find('=') : std::string::npos;
        const std::string name = isLong ? arg.substr(2, equals - 2) : arg.substr(1);
        const Option* option = isLong ? Find(name) : name.size() == 1 ? Find(name[0]) : nullptr;
        if (option == nullptr)
            return UsageError("unknown option '" + arg + "'");
        if (option->valueName.empty()) {
            if (equals != std::string::npos)
                return UsageError("option '--" + option->name + "' takes no value");
            values_[option->name];
        } else if (equals != std::string::npos) {
            values_[option->name] = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            values_[option->name] = argv[++i];
        } else {
            return UsageError("option '" + arg + "' needs a value");
        }
    }
    if (IsSet("help")) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (IsSet("version")) {
        std::printf("%s %s\n", program_.c_str(), ONDREL_VERSION);
        return 0;
    }
    return std::nullopt;
}

std::string CommandLine::Value(const std::string& name) const
{
    const auto found = values_.find(name);
    return found == values_.end() ? std::string() : found->second;
}

int CommandLine::UsageError(const std::string& problem) const
{
    std::fprintf(stderr, "%s: %s\n%s", program_.c_str(), problem.c_str(), Usage().c_str());
    return 2;
}

std::string CommandLine::Usage() const
{
    std::string text;
    for (size_t i = 0; i < synopsis_.size(); ++i)
        text += (i == 0 ? "usage: " : "       ") + program_ + " " + synopsis_[i] + "\n";
    text += "\noptions:\n";
    for (const Option& option : options_) {
        std::string left = option.letter != '\0' ? std::string("-") + option.letter + ", " : "    ";
        left += "--" + option.name + (option.valueName.empty() ? "" : " " + option.valueName);
        text += "  " + left + std::string(left.size() < 22 ? 22 - left.size() : 1, ' ') + option.help + "\n";
    }
    return text;
}

} // namespace cli
