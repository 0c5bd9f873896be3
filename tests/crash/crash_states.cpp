#include "crash/crash_states.h"

#include "ondrel/recording/file_calls.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace ondrel::testing {

std::vector<Promise> ScanCountPromises(const std::vector<FileOp>& ops, const std::string& projectFile)
{
    constexpr size_t kFields13And14 = 4 + 8;
    std::vector<Promise> promises;
    std::set<int> handles;
    int32_t pending = -1; // none
    for (size_t i = 0; i < ops.size(); ++i) {
        const FileOp& op = ops[i];
        if (op.kind == FileOp::Kind::Open && op.path == projectFile)
            handles.insert(op.handle);
        if (!handles.contains(op.handle))
            continue;
        if (op.kind == FileOp::Kind::Write && op.bytes.size() == kFields13And14) {
            int32_t scans = 0;
            std::memcpy(&scans, op.bytes.data(), sizeof scans);
            pending = scans;
        } else if (op.kind == FileOp::Kind::SyncFile && pending >= 0) {
            promises.push_back({i + 1, pending});
            pending = -1;
        }
    }
    return promises;
}

namespace {

// What the checks write (a crash tree, a project saved from it) is scratch:
// handing it to the disk would only cost time.
class SyncsSkipped {
public:
    SyncsSkipped() : real_(SetCalls(SystemCalls()))
    {
        FileCalls skipping = real_;
        skipping.fsync = skipping.fdatasync = [](int) { return 0; };
        SetCalls(skipping);
    }
    ~SyncsSkipped() { SetCalls(real_); }
    SyncsSkipped(const SyncsSkipped&) = delete;
    SyncsSkipped& operator=(const SyncsSkipped&) = delete;

private:
    FileCalls real_;
};

} // namespace

int CheckEveryCrashState(PowerLossModel& model, const std::vector<FileOp>& ops, const std::string& crashRoot,
                         const std::function<void(size_t opsDone)>& check)
{
    const SyncsSkipped scratchOnly;
    int states = 0;
    for (size_t done = 0;; ++done) {
        for (const KeptNames names : {KeptNames::AsSynced, KeptNames::AsMade}) {
            for (const KeptData data : {KeptData::AsSynced, KeptData::AsWritten, KeptData::LastWriteTorn}) {
                if (data == KeptData::LastWriteTorn && !model.CanTearLastWrite())
                    continue;
                model.Rebuild(crashRoot, names, data);
                SCOPED_TRACE("power lost after step " + std::to_string(done) + " of " + std::to_string(ops.size())
                             + ", names " + (names == KeptNames::AsSynced ? "as synced" : "as made") + ", data "
                             + (data == KeptData::AsSynced    ? "as synced"
                                : data == KeptData::AsWritten ? "as written"
                                                              : "with the last write torn"));
                check(done);
                ++states;
                if (::testing::Test::HasFailure())
                    return states;
            }
        }
        if (done == ops.size())
            return states;
        model.Apply(ops[done]);
    }
}

} // namespace ondrel::testing
