#include "lab/win32/com_object.h"

namespace qm::lab {
namespace {

LONG g_liveObjects = 0;

}  // namespace

long LiveLabObjects() {
    return InterlockedCompareExchange(&g_liveObjects, 0, 0);
}

RefCount::RefCount() {
    InterlockedIncrement(&g_liveObjects);
}
RefCount::~RefCount() {
    InterlockedDecrement(&g_liveObjects);
}

}  // namespace qm::lab
