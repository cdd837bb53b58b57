// The eleven C functions of libMirodel, the only symbols the library exports.
#pragma GCC visibility push(default)
#include "adapter/Mirodel.h"
#pragma GCC visibility pop

#include "maker/mirodel/Library.h"

using mirodel::TheLibrary;

extern "C" {

uint32_t MirodelFindAdapters(AdapterList* list, const char* name) { return TheLibrary().findAdapters(list, name); }

uint32_t MirodelOpenAdapter(const char* name, uint32_t mode) { return TheLibrary().openAdapter(name, mode); }

void MirodelCloseAdapter(void) { TheLibrary().closeAdapter(); }

uint32_t MirodelConnect(ProfileRecord* profile) { return TheLibrary().connect(profile); }

uint32_t MirodelGetScanList(MirodelScanCallback callback, uint32_t mode, uint32_t reserved)
{
    return TheLibrary().getScanList(callback, mode, reserved);
}

uint32_t MirodelQuery(AdapterRequest* request) { return TheLibrary().query(request); }

uint32_t MirodelSet(AdapterRequest* request) { return TheLibrary().set(request); }

uint32_t MirodelGetProfiles(MirodelList** list, uint32_t store) { return TheLibrary().getProfiles(list, store); }

uint32_t MirodelProfileOp(ProfileRecord* profile, uint32_t op, uint32_t store, const char* path)
{
    return TheLibrary().profileOp(profile, op, store, path);
}

uint32_t MirodelRegisterEvents(uint32_t mask, MirodelEventCallback callback)
{
    return TheLibrary().registerEvents(mask, callback);
}

void MirodelUnregisterEvents(void) { TheLibrary().unregisterEvents(); }

} // extern "C"
