#include "MemoryTuning.h"

namespace senrokan::platform
{

void keepLargeBuffersApart()
{
    // Other C libraries give large blocks back by themselves.
}

} // namespace senrokan::platform
