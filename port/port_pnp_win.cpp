// The Plug and Play lookup of a parallel port's base address, through the
// Configuration Manager (cfgmgr32.dll) bound at run time: the library or its
// resource calls may be missing (Wine has stubs only), and then the BIOS
// data area is asked instead.
#include "port/port_pnp.h"

#include <windows.h>

#include <cfgmgr32.h>

#include <cstring>
#include <vector>

#include "core/scoped_win.h"
#include "port/port_address.h"

namespace {

constexpr char kLibraryName[] = "cfgmgr32.dll";
// The Ports class (COM and LPT), as a device's class GUID reads.
constexpr char kPortsClass[] = "{4d36e978-e325-11ce-bfc1-08002be10318}";

struct ConfigManager {
  decltype(&::CM_Get_Device_ID_List_SizeA) listSize;
  decltype(&::CM_Get_Device_ID_ListA) list;
  decltype(&::CM_Locate_DevNodeA) locate;
  decltype(&::CM_Get_DevNode_Registry_PropertyA) property;
  decltype(&::CM_Open_DevNode_Key) openKey;
  decltype(&::CM_Get_First_Log_Conf) firstConfig;
  decltype(&::CM_Get_Next_Res_Des) nextRange;
  decltype(&::CM_Get_Res_Des_Data_Size) rangeSize;
  decltype(&::CM_Get_Res_Des_Data) rangeData;
  decltype(&::CM_Free_Res_Des_Handle) freeRange;
  decltype(&::CM_Free_Log_Conf_Handle) freeConfig;
};

bool Bind(HMODULE library, ConfigManager* cm) {
  return ResolveEntryPoint(library, "CM_Get_Device_ID_List_SizeA", &cm->listSize) &&
         ResolveEntryPoint(library, "CM_Get_Device_ID_ListA", &cm->list) &&
         ResolveEntryPoint(library, "CM_Locate_DevNodeA", &cm->locate) &&
         ResolveEntryPoint(library, "CM_Get_DevNode_Registry_PropertyA", &cm->property) &&
         ResolveEntryPoint(library, "CM_Open_DevNode_Key", &cm->openKey) &&
         ResolveEntryPoint(library, "CM_Get_First_Log_Conf", &cm->firstConfig) &&
         ResolveEntryPoint(library, "CM_Get_Next_Res_Des", &cm->nextRange) &&
         ResolveEntryPoint(library, "CM_Get_Res_Des_Data_Size", &cm->rangeSize) &&
         ResolveEntryPoint(library, "CM_Get_Res_Des_Data", &cm->rangeData) &&
         ResolveEntryPoint(library, "CM_Free_Res_Des_Handle", &cm->freeRange) &&
         ResolveEntryPoint(library, "CM_Free_Log_Conf_Handle", &cm->freeConfig);
}

// Every device the system knows, as one block of NUL-ended identifiers
// ended by an empty one; empty when there is none.
std::vector<char> DeviceIds(const ConfigManager& cm) {
  ULONG length = 0;
  if (cm.listSize(&length, nullptr, CM_GETIDLIST_FILTER_NONE) != CR_SUCCESS || length == 0) return {};
  // Two zeros more than asked for, so the block ends even if the list grew.
  std::vector<char> ids(length + 2, '\0');
  if (cm.list(nullptr, ids.data(), length, CM_GETIDLIST_FILTER_NONE) != CR_SUCCESS) return {};
  return ids;
}

bool IsPortsClass(const ConfigManager& cm, DEVINST device) {
  char guid[64] = "";
  ULONG length = sizeof guid - 1;
  if (cm.property(device, CM_DRP_CLASSGUID, nullptr, guid, &length, 0) != CR_SUCCESS) return false;
  return lstrcmpiA(guid, kPortsClass) == 0;
}

// The "PortName" the port's driver keeps in the device's hardware key.
bool HasPortName(const ConfigManager& cm, DEVINST device, int32_t number) {
  ScopedKey key;
  if (cm.openKey(device, KEY_QUERY_VALUE, 0, RegDisposition_OpenExisting, key.Out(), CM_REGISTRY_HARDWARE) !=
      CR_SUCCESS) {
    return false;
  }
  char name[32] = "";
  DWORD type = 0;
  DWORD size = sizeof name - 1;  // room for an ending the stored text may lack
  if (RegQueryValueExA(key.Get(), "PortName", nullptr, &type, reinterpret_cast<LPBYTE>(name), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  return NamesPort(name, number);
}

bool RangeStart(const ConfigManager& cm, RES_DES range, uint32_t* base) {
  ULONG size = 0;
  if (cm.rangeSize(&size, range, 0) != CR_SUCCESS || size < sizeof(IO_DES)) return false;
  std::vector<unsigned char> data(size);
  if (cm.rangeData(range, data.data(), size, 0) != CR_SUCCESS) return false;
  IO_DES header;
  std::memcpy(&header, data.data(), sizeof header);
  *base = header.IOD_Alloc_Base > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(header.IOD_Alloc_Base);
  return true;
}

bool FirstIoRangeStart(const ConfigManager& cm, LOG_CONF config, uint32_t* base) {
  RES_DES range = 0;
  if (cm.nextRange(&range, config, ResType_IO, nullptr, 0) != CR_SUCCESS) return false;
  const bool read = RangeStart(cm, range, base);
  cm.freeRange(range);
  return read;
}

// The resources the system allocated to the device, not those it could take.
bool AllocatedIoStart(const ConfigManager& cm, DEVINST device, uint32_t* base) {
  LOG_CONF config = 0;
  if (cm.firstConfig(&config, device, ALLOC_LOG_CONF) != CR_SUCCESS) return false;
  const bool found = FirstIoRangeStart(cm, config, base);
  cm.freeConfig(config);
  return found;
}

}  // namespace

bool PlugAndPlayPortBase(int32_t number, uint32_t* base) {
  const ScopedLibrary library(LoadLibraryA(kLibraryName));
  ConfigManager cm{};
  if (!library.IsValid() || !Bind(library.Get(), &cm)) return false;

  std::vector<char> ids = DeviceIds(cm);
  for (char* id = ids.data(); !ids.empty() && *id != '\0'; id += std::strlen(id) + 1) {
    DEVINST device = 0;
    // Only devices that are present are found.
    if (cm.locate(&device, id, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) continue;
    if (!IsPortsClass(cm, device) || !HasPortName(cm, device, number)) continue;
    return AllocatedIoStart(cm, device, base);
  }
  return false;
}
