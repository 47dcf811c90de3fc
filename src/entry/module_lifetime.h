#pragma once
// What the module does when a host loads and unloads it: one reference on the
// GUI toolkit's GDI+ runtime per load call, dropped again per unload call.

namespace tarvel {

bool moduleInit();
bool moduleExit();

} // namespace tarvel
