#pragma once
#include <functional>
#include <string>

namespace ondrel {

// Makes something under a new name `stem` + six letters or digits: `make`
// tries one name and returns 0, or an errno value; names already taken
// (EEXIST) are passed over. Returns the name made; throws FileError with the
// last error otherwise.
std::string MakeUniquelyNamed(const std::string& stem, const std::function<int(const std::string& name)>& make);

} // namespace ondrel
