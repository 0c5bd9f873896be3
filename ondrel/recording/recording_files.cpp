#include "ondrel/recording/recording_files.h"

#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/little_endian_writer.h"
#include "ondrel/session/file_error.h"

#include <bit>
#include <unistd.h>

namespace ondrel {
namespace {

// Samples go to the file straight from memory; the files are little-endian.
static_assert(std::endian::native == std::endian::little,
              "sample blocks are written in host order, which must be little-endian");

std::string InFolder(const std::string& folder, const char* name)
{
    return folder + "/" + name;
}

void Reopen(BinaryFile& file, const std::string& path)
{
    file.Close();
    file.Open(path, BinaryFile::Mode::Truncate);
    file.Close();
    file.Open(path, BinaryFile::Mode::ReadWrite);
}

void CloseQuietly(BinaryFile& file) noexcept
{
    try {
        file.Close();
    } catch (const FileError&) {
        // Shutting down: nothing left to tell anyone.
    }
}

} // namespace

RecordingFiles::RecordingFiles(std::string folder)
    : folder_(std::move(folder)),
      projectFileName_(InFolder(folder_, "Project.ond")),
      aiFileName_(InFolder(folder_, "AI.ond")),
      diFileName_(InFolder(folder_, "DI.ond")),
      faiFileName_(InFolder(folder_, "FAI.ond"))
{
}

void RecordingFiles::OpenAtStartUp()
{
    project_.Open(projectFileName_, BinaryFile::Mode::ReadWrite);
    ai_.Open(aiFileName_, BinaryFile::Mode::ReadWrite);
    di_.Open(diFileName_, BinaryFile::Mode::ReadWrite);
}

void RecordingFiles::WriteProjectInfo(const RunDescription& run,
                                      const FailureReport& onCreateFileFailure)
{
    const std::vector<std::byte> fields = EncodeRunDescription(run);

    Reopen(project_, projectFileName_);
    Reopen(ai_, aiFileName_);
    Reopen(di_, diFileName_);

    CloseFAI();
    ::unlink(faiFileName_.c_str());
    try {
        fai_.Open(faiFileName_, BinaryFile::Mode::Truncate);
    } catch (const FileError&) {
        if (onCreateFileFailure)
            onCreateFileFailure(kCreateFileFails);
    }

    project_.Write(fields);
}

void RecordingFiles::WriteDIHeader(int32_t portStart, int32_t portCount)
{
    LittleEndianWriter header;
    header.Int32(portStart);
    header.Int32(portCount);
    di_.Write(header.Bytes());
}

void RecordingFiles::AppendAIRecord(std::span<const float> values)
{
    ai_.Write(std::as_bytes(values));
}

void RecordingFiles::AppendDIRecord(std::span<const uint8_t> ports)
{
    di_.Write(std::as_bytes(ports));
}

bool RecordingFiles::AppendFAI(std::span<const float> samples)
{
    return AppendFAIBytes(std::as_bytes(samples));
}

bool RecordingFiles::AppendFAI(std::span<const int32_t> samples)
{
    return AppendFAIBytes(std::as_bytes(samples));
}

bool RecordingFiles::AppendFAIBytes(std::span<const std::byte> bytes)
{
    if (!fai_.IsOpen())
        return false;
    fai_.Seek(fai_.Size());
    fai_.Write(bytes);
    return true;
}

void RecordingFiles::CloseFAI()
{
    fai_.Close();
}

void RecordingFiles::WriteRunEnd(const RunEnd& end)
{
    project_.Seek(project_.Size());
    project_.Write(EncodeRunEnd(end));
    project_.Flush();
}

void RecordingFiles::CloseProjectFile()
{
    project_.Close();
}

void RecordingFiles::Shutdown() noexcept
{
    CloseQuietly(project_);
    CloseQuietly(ai_);
    CloseQuietly(di_);
    CloseQuietly(fai_);
    if (folder_.empty())
        return;
    for (const std::string* path : {&projectFileName_, &faiFileName_, &aiFileName_, &diFileName_})
        ::unlink(path->c_str());
    ::rmdir(folder_.c_str());
}

} // namespace ondrel
