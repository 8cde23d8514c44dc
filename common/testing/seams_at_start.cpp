// Test, benchmark and fuzz programs take their main from a library: this
// object, linked into each of them, puts the platform's seams in place as the
// program starts, as a product program does first thing.

#include "common/platform.h"

namespace {
const bool g_seamsInPlace = (qm::usePlatformSeams(), true);
}  // namespace
