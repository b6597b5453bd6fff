// How the plug-in's exports are declared natively: the C calling convention,
// and the exported name given as the symbol itself (GBK bytes as they are).
#pragma once

#define ORVANTA_EXPORT extern "C" __attribute__((visibility("default")))
#define ORVANTA_CALL
#define ORVANTA_EXPORT_NAME(name) __asm__(name)
