// komreg: registers component libraries in the kom class registry, removes
// them, or tells where a class is served from.
//
//   komreg MODULE...          run each module's registration entry point
//   komreg -u MODULE...       run each module's unregistration entry point
//   komreg --query ID         print the module path for a class identifier or ProgID
//   komreg --path             print the registry file in use
#include "kom/module.h"
#include "kom/registry.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        std::fputs("usage: komreg [-u] MODULE...\n       komreg --query CLSID|PROGID\n       komreg --path\n",
                   args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string registry = kom::Registry::defaultPath();
    constexpr const char* NoRegistry =
        "komreg: no class registry: HOME is not set and this account has no home folder;\n"
        "        set KOM_REGISTRY to an absolute path, or keep libraries beside their hosts\n";
    if (args[0] == "--path") {
        if (registry.empty())
            return std::fputs(NoRegistry, stderr), 1;
        std::printf("%s\n", registry.c_str());
        return 0;
    }
    if (args[0] == "--query") {
        if (args.size() != 2)
            return 2;
        kom::CLSID clsid;
        if (kom::FAILED(kom::clsidFromString(args[1], &clsid))) {
            std::fprintf(stderr, "komreg: %s: unknown class\n", args[1].c_str());
            return 1;
        }
        std::string path = kom::modulePathForClass(clsid);
        if (path.empty()) {
            std::fprintf(stderr, "komreg: %s: no module serves this class\n", clsid.toString().c_str());
            return 1;
        }
        std::printf("%s\t%s\n", clsid.toString().c_str(), path.c_str());
        return 0;
    }
    if (registry.empty())
        return std::fputs(NoRegistry, stderr), 1;
    bool unregister = args[0] == "-u";
    int rc = 0;
    for (size_t i = unregister ? 1 : 0; i < args.size(); ++i) {
        std::error_code ec;
        std::string path = std::filesystem::absolute(args[i], ec).string();
        kom::HRESULT h = kom::registerModule(path, unregister);
        if (kom::FAILED(h)) {
            std::fprintf(stderr, "komreg: %s: %s failed (0x%08" PRIX32 ")\n", path.c_str(),
                         unregister ? "unregistration" : "registration", static_cast<uint32_t>(h));
            rc = 1;
        } else {
            std::printf("%s %s in %s\n", unregister ? "unregistered" : "registered", path.c_str(), registry.c_str());
        }
    }
    return rc;
}
