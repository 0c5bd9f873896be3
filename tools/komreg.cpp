// komreg: registers component libraries in the kom class registry, removes
// them, or tells where a class is served from.
//
//   komreg MODULE...          run each module's registration entry point
//   komreg -u MODULE...       run each module's unregistration entry point
//   komreg --query ID         print the module path for a class identifier or ProgID
//   komreg --path             print the registry file in use
#include "kom/module.h"
#include "kom/registry.h"
#include "tools/cli/command_line.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    cli::CommandLine commandLine("komreg", {"[-u] MODULE...", "--query CLSID|PROGID", "--path"},
                                 {{"unregister", 'u', "", "unregister the modules instead"},
                                  {"query", '\0', "ID", "print the module that serves a class identifier or ProgID"},
                                  {"path", '\0', "", "print the registry file in use"}});
    if (const auto status = commandLine.Parse(argc, argv))
        return *status;
    const std::vector<std::string>& modules = commandLine.Operands();
    const bool query = commandLine.IsSet("query");
    const bool path = commandLine.IsSet("path");
    if (query + path + commandLine.IsSet("unregister") > 1)
        return commandLine.UsageError("--query, --path and -u do not go together");
    if ((query || path) && !modules.empty())
        return commandLine.UsageError("no module goes with --query or --path");
    if (!query && !path && modules.empty())
        return commandLine.UsageError("no module named");
    const std::string registry = kom::Registry::defaultPath();
    constexpr const char* NoRegistry =
        "komreg: no class registry: HOME is not set and this account has no home folder;\n"
        "        set KOM_REGISTRY to an absolute path, or keep libraries beside their hosts\n";
    if (path) {
        if (registry.empty())
            return std::fputs(NoRegistry, stderr), 1;
        std::printf("%s\n", registry.c_str());
        return 0;
    }
    if (query) {
        const std::string id = commandLine.Value("query");
        kom::CLSID clsid;
        if (kom::FAILED(kom::clsidFromString(id, &clsid))) {
            std::fprintf(stderr, "komreg: %s: unknown class\n", id.c_str());
            return 1;
        }
        const std::string served = kom::modulePathForClass(clsid);
        if (served.empty()) {
            std::fprintf(stderr, "komreg: %s: no module serves this class\n", clsid.toString().c_str());
            return 1;
        }
        std::printf("%s\t%s\n", clsid.toString().c_str(), served.c_str());
        return 0;
    }
    if (registry.empty())
        return std::fputs(NoRegistry, stderr), 1;
    const bool unregister = commandLine.IsSet("unregister");
    int rc = 0;
    for (const std::string& module : modules) {
        std::error_code ec;
        std::string modulePath = std::filesystem::absolute(module, ec).string();
        kom::HRESULT h = kom::registerModule(modulePath, unregister);
        if (kom::FAILED(h)) {
            std::fprintf(stderr, "komreg: %s: %s failed (0x%08" PRIX32 ")\n", modulePath.c_str(),
                         unregister ? "unregistration" : "registration", static_cast<uint32_t>(h));
            rc = 1;
        } else {
            std::printf("%s %s in %s\n", unregister ? "unregistered" : "registered", modulePath.c_str(),
                        registry.c_str());
        }
    }
    return rc;
}
