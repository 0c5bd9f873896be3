#include "ondrel/recording/unique_name.h"

#include "ondrel/common/file_error.h"

#include <cerrno>
#include <random>

namespace ondrel {

std::string MakeUniquelyNamed(const std::string& stem, const std::function<int(const std::string& name)>& make)
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string name;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        name = stem;
        for (int i = 0; i < 6; ++i)
            name += kLetters[pick(random)];
        error = make(name);
        if (error == 0)
            return name;
    }
    throw FileError(error, name);
}

} // namespace ondrel
