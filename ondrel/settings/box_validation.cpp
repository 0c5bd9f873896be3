#include "ondrel/settings/box_validation.h"
#include "ondrel/settings/box_numbers.h"

namespace ondrel {

namespace {

std::optional<BoxRejection> WholeNumber(std::string_view text, const char* message, const char* reset)
{
    if (ParseWholeNumber(text))
        return std::nullopt;
    return BoxRejection{message, reset};
}

std::optional<BoxRejection> Real(std::string_view text, const char* message, const char* reset)
{
    if (ParseReal(text))
        return std::nullopt;
    return BoxRejection{message, reset};
}

} // namespace

std::optional<BoxRejection> CheckBox(std::string_view box, std::string_view text)
{
    if (box == "txtAIScanStart_0" || box == "txtAIScanStart_1")
        return WholeNumber(text, "please input a valid number", "0");
    if (box == "txtAIScanNumber_0" || box == "txtAIScanNumber_1")
        return WholeNumber(text, "please input a valid number", "1");
    if (box == "txtCount") {
        const auto count = ParseWholeNumber(text);
        if (!count)
            return BoxRejection{"Please input a valid number", "4096"};
        if (*count < 4096)
            return BoxRejection{"DataCount should be at least 4096 for FAI", "4096"};
        return std::nullopt;
    }
    if (box == "txtSampleRate") {
        const auto rate = ParseReal(text);
        if (!rate)
            return BoxRejection{"Please input a valide number", "1"};
        if (*rate < 1.0)
            return BoxRejection{"Sample rate should not be less than 1", "1"};
        return std::nullopt;
    }
    if (box == "txtTriggerDelayTime")
        return Real(text, "Invalid delay time", "0");
    if (box == "txtTriggerAfterTimeinAboveMode")
        return Real(text, "Invalid after time for about mode", "0");
    if (box == "txtTriggerVoltage")
        return Real(text, "Invalid trigger voltage", "1");
    if (box == "txtAITimeInterval") {
        const auto interval = ParseWholeNumber(text);
        if (!interval || *interval < 1 || *interval > 65535)
            return BoxRejection{"please input a number between 1 and 65535", "65535"};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace ondrel
