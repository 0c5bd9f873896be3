#include "ondrel/recording/save_as.h"
#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/description_writer.h"
#include "ondrel/session/file_error.h"
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace ondrel {

namespace {

std::vector<std::byte> ReadAll(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadOnly);
    std::vector<std::byte> bytes(static_cast<size_t>(in.Size()));
    if (in.Read(bytes) != bytes.size())
        throw FileError("The file changed while it was read", path);
    return bytes;
}

// Writes the content of `copyFrom` (when given) followed by `tail` to a
// temporary name beside `target`, hands it to the disk, and renames it into place.
void WriteInPlace(const std::string& target, const std::string& copyFrom,
                  const std::vector<std::byte>& tail)
{
    const std::string partial = target + ".partial";
    try {
        BinaryFile out;
        out.Open(partial, BinaryFile::Mode::Truncate);
        if (!copyFrom.empty()) {
            BinaryFile in;
            in.Open(copyFrom, BinaryFile::Mode::ReadOnly);
            std::vector<std::byte> block(1 << 20);
            for (size_t got; (got = in.Read(block)) > 0;)
                out.Write(std::span(block).first(got));
        }
        out.Write(tail);
        out.Flush();
        out.Close();
        if (std::rename(partial.c_str(), target.c_str()) != 0)
            throw FileError(errno, target);
    } catch (...) {
        std::remove(partial.c_str());
        throw;
    }
}

} // namespace

void SaveRunAs(const SavedRun& run, const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        throw FileError(errno, folder);

    const std::string aiTarget = folder + "/AI.ond";
    const std::string diTarget = folder + "/DI.ond";
    if (run.aiSaved)
        WriteInPlace(aiTarget, run.aiFile, {});
    if (run.faiSaved)
        WriteInPlace(aiTarget, run.faiFile, {});
    if (run.diSaved)
        WriteInPlace(diTarget, run.diFile, {});

    std::vector<std::byte> description = ReadAll(run.projectFile);
    const std::vector<std::byte> paths = EncodeSavedPaths({aiTarget, diTarget});
    description.insert(description.end(), paths.begin(), paths.end());
    WriteInPlace(folder + "/Project.onp", {}, description);
}

} // namespace ondrel
