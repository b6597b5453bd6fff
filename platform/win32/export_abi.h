// How the plug-in's exports are declared on Windows: the standard calling
// convention, the callee removing its arguments; the exported names (GBK) and
// ordinals come from plugin/orvanta.def.
#pragma once

#define ORVANTA_EXPORT extern "C"
#define ORVANTA_CALL __stdcall
#define ORVANTA_EXPORT_NAME(name)
