/* The adapter library's header must compile as C11; its layout checks run here as well. */
#include "adapter/Mirodel.h"

size_t MirodelHeaderCompilesAsC(void)
{
    return sizeof(ProfileRecord) + sizeof(MirodelBssEntry);
}
