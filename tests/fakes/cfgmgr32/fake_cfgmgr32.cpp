// A stand-in cfgmgr32.dll for the Plug and Play lookup's tests: the devices
// the system knows, their class, "PortName" and allocated I/O range, are
// scripted from outside the process, and every resource handle given out and
// freed is logged.
//
// Knobs (environment variables of the loading process, read at every call):
//
//   PIPSTACK_FAKE_PNP_DEVICES  "CLASS NAME RANGE;CLASS NAME RANGE;..." - one
//                              device each, in the system's order. CLASS:
//                              Ports, or any other word for another class.
//                              NAME: its PortName, or - for none. RANGE: the
//                              start of its first allocated I/O range in hex,
//                              - for an allocated configuration without an
//                              I/O range, none for no allocated configuration.
//   PIPSTACK_FAKE_PNP_LOG      the log: "config N", "range N", "free range N",
//                              "free config N" for device N (from 1).
//
// The device keys live under HKEY_CURRENT_USER\Software\PipstackFakePnp,
// volatile, one subkey per process and device.
#define _CFGMGR32_  // defines the entry points instead of importing them
#include <windows.h>

#include <cfgmgr32.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fakes/fake_library_log.h"

namespace {

constexpr char kPortsClass[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr char kOtherClass[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}";  // network adapters
constexpr char kIdPrefix[] = "PIPSTACK\\FAKE\\";
constexpr uintptr_t kConfigHandles = 0x100;
constexpr uintptr_t kRangeHandles = 0x200;

struct Device {
  std::string deviceClass;
  std::string portName;
  std::string range;
};

std::vector<Device> Devices() {
  std::vector<Device> devices;
  char text[2048] = "";
  const DWORD length = GetEnvironmentVariableA("PIPSTACK_FAKE_PNP_DEVICES", text, sizeof text);
  if (length == 0 || length >= sizeof text) return devices;
  std::stringstream all(text);
  std::string entry;
  while (std::getline(all, entry, ';')) {
    std::stringstream fields(entry);
    Device device;
    if (fields >> device.deviceClass >> device.portName >> device.range) devices.push_back(device);
  }
  return devices;
}

// Device n (from 1), or null.
const Device* Find(const std::vector<Device>& devices, uintptr_t n) {
  return n >= 1 && n <= devices.size() ? &devices[n - 1] : nullptr;
}

void Log(const std::string& event, uintptr_t n) {
  AppendToLog("PIPSTACK_FAKE_PNP_LOG", event + ' ' + std::to_string(n));
}

std::string IdList(size_t count) {
  std::string ids;
  for (size_t i = 1; i <= count; ++i) ids += kIdPrefix + std::to_string(i) + '\0';
  return ids + '\0';
}

}  // namespace

CONFIGRET WINAPI CM_Get_Device_ID_List_SizeA(PULONG pulLen, PCSTR, ULONG ulFlags) {
  if (ulFlags != CM_GETIDLIST_FILTER_NONE) return CR_INVALID_FLAG;
  *pulLen = static_cast<ULONG>(IdList(Devices().size()).size());
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_ID_ListA(PCSTR, PCHAR Buffer, ULONG BufferLen, ULONG ulFlags) {
  if (ulFlags != CM_GETIDLIST_FILTER_NONE) return CR_INVALID_FLAG;
  const std::string ids = IdList(Devices().size());
  if (BufferLen < ids.size()) return CR_BUFFER_SMALL;
  std::memcpy(Buffer, ids.data(), ids.size());
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Locate_DevNodeA(PDEVINST pdnDevInst, DEVINSTID_A pDeviceID, ULONG ulFlags) {
  if (ulFlags != CM_LOCATE_DEVNODE_NORMAL) return CR_INVALID_FLAG;
  const size_t prefix = sizeof kIdPrefix - 1;
  if (pDeviceID == nullptr || std::strncmp(pDeviceID, kIdPrefix, prefix) != 0) return CR_NO_SUCH_DEVNODE;
  const unsigned long n = std::strtoul(pDeviceID + prefix, nullptr, 10);
  if (Find(Devices(), n) == nullptr) return CR_NO_SUCH_DEVNODE;
  *pdnDevInst = n;
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST dnDevInst, ULONG ulProperty, PULONG pulRegDataType,
                                                   PVOID Buffer, PULONG pulLength, ULONG) {
  const std::vector<Device> devices = Devices();
  const Device* device = Find(devices, dnDevInst);
  if (device == nullptr) return CR_NO_SUCH_DEVNODE;
  if (ulProperty != CM_DRP_CLASSGUID) return CR_NO_SUCH_VALUE;
  const char* guid = device->deviceClass == "Ports" ? kPortsClass : kOtherClass;
  const ULONG needed = static_cast<ULONG>(std::strlen(guid) + 1);
  if (pulRegDataType != nullptr) *pulRegDataType = REG_SZ;
  if (*pulLength < needed) {
    *pulLength = needed;
    return CR_BUFFER_SMALL;
  }
  std::memcpy(Buffer, guid, needed);
  *pulLength = needed;
  return CR_SUCCESS;
}

// Only the hardware key holds a port's name.
CONFIGRET WINAPI CM_Open_DevNode_Key(DEVINST dnDevNode, REGSAM samDesired, ULONG, REGDISPOSITION Disposition,
                                     PHKEY phkDevice, ULONG ulFlags) {
  const std::vector<Device> devices = Devices();
  const Device* device = Find(devices, dnDevNode);
  if (device == nullptr) return CR_NO_SUCH_DEVNODE;
  if (ulFlags != CM_REGISTRY_HARDWARE || Disposition != RegDisposition_OpenExisting) return CR_INVALID_FLAG;
  const std::string path =
      "Software\\PipstackFakePnp\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(dnDevNode);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return CR_REGISTRY_ERROR;
  }
  RegDeleteValueA(key, "PortName");
  if (device->portName != "-") {
    RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(device->portName.c_str()),
                   static_cast<DWORD>(device->portName.size() + 1));
  }
  RegCloseKey(key);
  return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, samDesired, phkDevice) == ERROR_SUCCESS ? CR_SUCCESS
                                                                                                   : CR_REGISTRY_ERROR;
}

// Only the allocated configuration is scripted; the boot, forced and basic
// ones a device may also have are never there.
CONFIGRET WINAPI CM_Get_First_Log_Conf(PLOG_CONF plcLogConf, DEVINST dnDevInst, ULONG ulFlags) {
  const std::vector<Device> devices = Devices();
  const Device* device = Find(devices, dnDevInst);
  if (device == nullptr) return CR_NO_SUCH_DEVNODE;
  if (ulFlags != ALLOC_LOG_CONF || device->range == "none") return CR_NO_MORE_LOG_CONF;
  *plcLogConf = kConfigHandles + dnDevInst;
  Log("config", dnDevInst);
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Next_Res_Des(PRES_DES prdResDes, RES_DES rdResDes, RESOURCEID ForResource, PRESOURCEID, ULONG) {
  const std::vector<Device> devices = Devices();
  const uintptr_t n = rdResDes - kConfigHandles;
  const Device* device = Find(devices, n);
  if (device == nullptr) return CR_INVALID_LOG_CONF;
  if (ForResource != ResType_IO || device->range == "-") return CR_NO_MORE_RES_DES;
  *prdResDes = kRangeHandles + n;
  Log("range", n);
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Res_Des_Data_Size(PULONG pulSize, RES_DES rdResDes, ULONG) {
  if (Find(Devices(), rdResDes - kRangeHandles) == nullptr) return CR_INVALID_RES_DES;
  *pulSize = sizeof(IO_RESOURCE);
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Res_Des_Data(RES_DES rdResDes, PVOID Buffer, ULONG BufferLen, ULONG) {
  const std::vector<Device> devices = Devices();
  const Device* device = Find(devices, rdResDes - kRangeHandles);
  if (device == nullptr) return CR_INVALID_RES_DES;
  if (BufferLen < sizeof(IO_RESOURCE)) return CR_BUFFER_SMALL;
  IO_RESOURCE resource{};
  resource.IO_Header.IOD_Count = 1;
  resource.IO_Header.IOD_Type = IOType_Range;
  resource.IO_Header.IOD_Alloc_Base = std::strtoull(device->range.c_str(), nullptr, 16);
  resource.IO_Header.IOD_Alloc_End = resource.IO_Header.IOD_Alloc_Base + 7;
  resource.IO_Header.IOD_DesFlags = fIOD_IO;
  std::memcpy(Buffer, &resource, sizeof resource);
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Free_Res_Des_Handle(RES_DES rdResDes) {
  Log("free range", rdResDes - kRangeHandles);
  return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Free_Log_Conf_Handle(LOG_CONF lcLogConf) {
  Log("free config", lcLogConf - kConfigHandles);
  return CR_SUCCESS;
}
