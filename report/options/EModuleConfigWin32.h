// Start-up of the reporting configuration in a Windows module: finds the module's container
// (the "OZDATA" resource, else the block appended to the module file), loads the options and
// the debug information, installs the Windows options environment and publishes the options
// in the module's "MODULE" shared area.
#pragma once

#include "platform/win/WinApi.h"

#include <optional>
#include <string>

#include "report/options/EConfigContainer.h"
#include "report/options/EModuleConfig.h"

// The container of module; nullopt when it carries none or the one it carries is unsound.
std::optional<TConfigContainer> ReadModuleConfigContainer(HMODULE module,
                                                          const TConfigReadSettings& settings = {});

// The record of module from its own container or, when it has none, from the options another
// copy published in its shared area; nullptr when neither gives options.
std::unique_ptr<TModuleConfigRecord> LoadModuleConfig(HMODULE module);

// Once per process, from the module that carries this code (normally the program, first thing
// in its entry). Registers that module's record in OskedaModuleConfigs(), makes its options
// the current ones and publishes them. False when the module has no usable configuration: the
// subsystem then stays inactive. Later calls return the first result.
bool StartOskedaModuleConfig();
// Registers another module (a DLL built with the subsystem); false when it gives no options.
bool RegisterOskedaModule(HMODULE module);

// The module, unit, class, procedure and line of a code address of this process.
TAddressInfo LookupAddress(const void* address);

// The key of module's enciphered debug-information names, asked of its password exports
// (report/options/EPasswordRequest.h): the Ex form first, then the plain one. Empty when the
// module exports neither or nothing answered; its tables then keep their enciphered names.
// The log's XML copy asks the program module the same way.
std::string RequestModulePassword(HMODULE module);
