#pragma once
// The CLAP entry: the module's factory presented to a CLAP host through the
// CLAP adapter. init takes the module's load reference and reads the
// descriptor from the factory; deinit drops both.

#include "pluginterfaces/base/fplatform.h"
#include "sdk/clap/clap_abi.h"

extern "C" SMTG_EXPORT_SYMBOL const clap::clap_plugin_entry_t clap_entry;
