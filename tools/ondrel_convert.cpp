// ondrel-convert: a recorded project in one of the export formats, the same
// files the program's Convert writes.
//
//   ondrel-convert [--format xlt|csv|hdf5|sr] [--ai] [--di] PROJECT.onp OUTDIR
//
// Makes OUTDIR (its parent must exist; an existing OUTDIR is refused) and
// writes the AI and/or DI data into it: AI.xlt and DI.xlt by default, AI.csv
// and DI.csv, recording.h5 or recording.sr; with neither flag, every kind the
// recording holds. Exit status 0 on success, 1 with a one-line message otherwise, 2 for
// a usage error. SIGINT or SIGTERM during the export removes what it wrote and
// then ends the program as the signal would have.
#include "ondrel/export/export_formats.h"
#include "ondrel/export/number_text.h"
#include "ondrel/export/project_export.h"
#include "ondrel/history/recording_reader.h"
#include "tools/cli/command_line.h"
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The decimal separator of the user's locale, from where the program's own
// Convert takes it.
char LocaleDecimal()
{
    std::setlocale(LC_NUMERIC, "");
    return ondrel::NumericLocaleDecimal();
}

// The termination signal received, if any. An export asks after every block
// and stops as a Cancel would, removing what it wrote.
volatile std::sig_atomic_t stopSignal = 0;

void NoteStop(int signal) { stopSignal = signal; }

void CancelOnTermination()
{
    struct sigaction action {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Ends the program by the signal that stopped the export, as the shell expects.
[[noreturn]] void EndBySignal()
{
    const int signal = stopSignal;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

// "xlt|csv|..." for the formats this build writes.
std::string FormatNames()
{
    std::string names;
    for (const ondrel::ExportFormatInfo& info : ondrel::OfferedFormats())
        names += (names.empty() ? "" : "|") + std::string(info.name);
    return names;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string formats = FormatNames();
    cli::CommandLine commandLine("ondrel-convert", {"[--format " + formats + "] [--ai] [--di] PROJECT.onp OUTDIR"},
                                 {{"format", '\0', "FORMAT", "the files to write (" + formats + "; xlt if not given)"},
                                  {"ai", '\0', "", "write the AI data"},
                                  {"di", '\0', "", "write the DI data"}});
    if (const auto status = commandLine.Parse(argc, argv))
        return *status;
    const std::vector<std::string>& operands = commandLine.Operands();
    if (operands.size() != 2)
        return commandLine.UsageError("needs a project and an output folder");
    ondrel::ExportRequest request;
    if (commandLine.IsSet("format")) {
        const auto format = ondrel::FormatNamed(commandLine.Value("format"));
        if (!format)
            return commandLine.UsageError("unknown format '" + commandLine.Value("format") + "' (this build writes "
                                          + formats + ")");
        request.format = *format;
    }
    request.ai = commandLine.IsSet("ai");
    request.di = commandLine.IsSet("di");
    request.projectFile = operands[0];
    request.folder = operands[1];
    request.decimal = LocaleDecimal();

    const bool showProgress = ::isatty(STDERR_FILENO) != 0;
    CancelOnTermination();
    try {
        if (!request.ai && !request.di) {
            const ondrel::RecordingInfo recorded = ondrel::ReadRecordingInfo(request.projectFile);
            request.ai = recorded.ai;
            request.di = recorded.di;
        }
        int shown = -1;
        const ondrel::ExportOutcome outcome = ondrel::ExportProject(request, [&](double fraction) {
            const int percent = static_cast<int>(fraction * 100.0);
            if (showProgress && percent != shown) {
                shown = percent;
                std::fprintf(stderr, "\rondrel-convert: %3d %%", percent);
            }
            return stopSignal == 0;
        });
        if (showProgress)
            std::fputs("\n", stderr);
        if (outcome == ondrel::ExportOutcome::Cancelled) {
            std::fputs("ondrel-convert: interrupted; nothing was written\n", stderr);
            EndBySignal();
        }
        return 0;
    } catch (const std::exception& error) {
        if (showProgress)
            std::fputs("\n", stderr);
        std::fprintf(stderr, "ondrel-convert: %s\n", error.what());
        return 1;
    }
}
