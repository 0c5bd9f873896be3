#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/graph/ai_colors.h"
#include "ondrel/session/session_state.h"

namespace ondrel {

// Default display tables of the AI device's channels: colours in turn from the
// palette, a new line style every 16 channels, names "AI c", and each channel's
// signal connection read from the device. The device's Channel is left at the
// last channel visited.
void InitAIChannelTables(SessionTables& tables, IKroAI& ai, const AIColorTable& colors);

// Default display tables of the DI device's lines: white on even ports, yellow on
// odd ones, solid, named "DI p:b".
void InitDIChannelTables(SessionTables& tables, IKroDIO& dio);

// The thermocouple settings of every AI channel, all voltage inputs at start.
void ResetAIThermoTables(SessionTables& tables, int32_t maxChanCount);

} // namespace ondrel
