#pragma once
#include <string>

namespace ondrel {

// What the last run left in the working folder for Save As to take.
struct SavedRun {
    std::string projectFile;           // the working description
    std::string aiFile, faiFile, diFile;
    bool aiSaved = false, faiSaved = false, diSaved = false;
};

// Copies the run into `folder` (created when missing, used as it is otherwise) as
// "Project.onp", "AI.ond" (polled or buffered AI alike) and "DI.ond", and
// appends the two data paths to "Project.onp". Each file lands under a
// temporary name and is renamed into place only when complete, the description
// last: a failure (throws FileError) never leaves a "Project.onp" naming data
// that was not copied, nor spoils a project that was there before.
void SaveRunAs(const SavedRun& run, const std::string& folder);

} // namespace ondrel
