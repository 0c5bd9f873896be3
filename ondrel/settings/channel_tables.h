#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/graph/ai_colors.h"
#include "ondrel/common/acquisition_setup.h"

namespace ondrel {

// Default display settings of the AI device's channels: colours in turn from the
// palette, a new line style every 16 channels, names "AI c", and each channel's
// signal connection read from the device. The device's Channel is left at the
// last channel visited. The rows are sized for the device (0 .. MaxChanCount).
void InitAIChannelTables(AcquisitionSetup& setup, IKroAI& ai, const AIColorTable& colors);

// Default display settings of the DI device's lines: white on even ports,
// yellow on odd ones, solid, named "DI p:b".
void InitDIChannelTables(AcquisitionSetup& setup, IKroDIO& dio);

// The thermocouple settings of every AI channel, all voltage inputs at start.
void ResetAIThermoTables(AcquisitionSetup& setup, int32_t maxChanCount);

// The set-up a session starts with: 4096 samples single-shot, polling every
// 100 ms, nothing saved, no DI port chosen, every AI channel a voltage input.
void LoadDefaultSetup(AcquisitionSetup& setup, IKroAI& ai, IKroDIO& dio);

// Default display rows of the chosen AI and DI devices; throws what the devices throw.
void InitChannelTables(AcquisitionSetup& setup, IKroAI& ai, IKroDIO& dio, const AIColorTable& colors);

} // namespace ondrel
