#include "ondrel/start_request.h"
#include "tools/cli/qt_command_line.h"
#include <QCommandLineParser>
#include <filesystem>

namespace ondrel {

std::variant<StartRequest, int> ParseStartRequest(int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Acquires, records, replays and converts measurement-card signals.");
    const QCommandLineOption listDevices("list-devices", "Print one line per device and kind the device choosers offer "
                                                         "(number, AI|DI|thermocouple, name), then each device found "
                                                         "but not usable (-, unavailable, reason), and exit.");
    parser.addOption(listDevices);
    parser.addPositionalArgument("project",
                                 "A recorded project (Project.onp), or the folder that holds it, "
                                 "to open for replay.",
                                 "[PROJECT.onp|FOLDER]");
    if (const auto status = cli::ParseOrFinish(parser, "ondrel", argc, argv))
        return *status;
    const QStringList operands = parser.positionalArguments();
    if (operands.size() > 1)
        return cli::UsageError(parser, "ondrel", "one project at a time");
    StartRequest request;
    request.listDevices = parser.isSet(listDevices);
    if (!operands.isEmpty())
        request.project = ProjectFileOf(cli::Bytes(operands.front()));
    return request;
}

std::string ProjectFileOf(const std::string& operand)
{
    std::error_code ec;
    if (std::filesystem::is_directory(operand, ec))
        return (std::filesystem::path(operand) / "Project.onp").string();
    return operand;
}

} // namespace ondrel
