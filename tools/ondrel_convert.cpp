// ondrel-convert: a recorded project as tab-separated text, the same files the
// program's Convert writes.
//
//   ondrel-convert [--ai] [--di] PROJECT.onp OUTDIR
//
// Makes OUTDIR (its parent must exist; an existing OUTDIR is refused) and
// writes AI.xlt and/or DI.xlt; with neither flag, every kind the recording
// holds. Exit status 0 on success, 1 with a one-line message otherwise, 2 for
// a usage error.
#include "ondrel/export/project_export.h"
#include "ondrel/history/project_index.h"
#include "tools/cli/command_line.h"
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The decimal separator of the user's locale, as the program's own Convert uses.
char LocaleDecimal()
{
    std::setlocale(LC_NUMERIC, "");
    const char* point = std::localeconv()->decimal_point;
    return point != nullptr && point[0] != '\0' && point[1] == '\0' ? point[0] : '.';
}

} // namespace

int main(int argc, char** argv)
{
    cli::CommandLine commandLine("ondrel-convert", {"[--ai] [--di] PROJECT.onp OUTDIR"},
                                 {{"ai", '\0', "", "write AI.xlt"}, {"di", '\0', "", "write DI.xlt"}});
    if (const auto status = commandLine.Parse(argc, argv))
        return *status;
    const std::vector<std::string>& operands = commandLine.Operands();
    if (operands.size() != 2)
        return commandLine.UsageError("needs a project and an output folder");
    ondrel::ExportRequest request;
    request.ai = commandLine.IsSet("ai");
    request.di = commandLine.IsSet("di");
    request.projectFile = operands[0];
    request.folder = operands[1];
    request.decimal = LocaleDecimal();

    const bool showProgress = ::isatty(STDERR_FILENO) != 0;
    try {
        if (!request.ai && !request.di) {
            ondrel::ReplayState recorded;
            ondrel::ApplyProjectInfo(ondrel::ReadProjectInfo(request.projectFile), recorded);
            request.ai = recorded.bHisAI;
            request.di = recorded.bHisDI;
        }
        int shown = -1;
        ondrel::ExportProject(request, [&](double fraction) {
            const int percent = static_cast<int>(fraction * 100.0);
            if (showProgress && percent != shown) {
                shown = percent;
                std::fprintf(stderr, "\rondrel-convert: %3d %%", percent);
            }
            return true;
        });
        if (showProgress)
            std::fputs("\n", stderr);
        return 0;
    } catch (const std::exception& error) {
        if (showProgress)
            std::fputs("\n", stderr);
        std::fprintf(stderr, "ondrel-convert: %s\n", error.what());
        return 1;
    }
}
