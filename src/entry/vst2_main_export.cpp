// Older VST 2 hosts look the entry point up as "main". C++ reserves that name
// for the program's own main, so the symbol is named at the assembler level.

#include "entry/vst2_entry.h"

extern "C" SMTG_EXPORT_SYMBOL vst2::AEffect* VST2_CALLBACK vst2MainEntry(vst2::audioMasterCallback audioMaster)
    __asm__("main");

vst2::AEffect* VST2_CALLBACK vst2MainEntry(vst2::audioMasterCallback audioMaster)
{
    return tarvel::vst2PluginMain(audioMaster);
}
