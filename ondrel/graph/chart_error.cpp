#include "ondrel/graph/chart_error.h"

namespace ondrel {

void KroGraph1_Error(IPrompts& prompts, const std::string& message)
{
    if (message == "Out of memory!")
        return;
    prompts.MsgBox(message, "Graph Error Message");
}

} // namespace ondrel
