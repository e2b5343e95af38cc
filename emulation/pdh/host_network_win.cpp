// The host's network interfaces and their traffic, as Wine's IP helper reports them.
#include "emulation/pdh/host_network.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <array>

#include "emulation/pdh/counter_path.h"

namespace {

class MibTable {
 public:
  MibTable() = default;
  ~MibTable() {
    if (table_ != nullptr) FreeMibTable(table_);
  }
  MibTable(const MibTable&) = delete;
  MibTable& operator=(const MibTable&) = delete;
  MIB_IF_TABLE2** out() { return &table_; }
  const MIB_IF_TABLE2* get() const { return table_; }

 private:
  MIB_IF_TABLE2* table_ = nullptr;
};

}  // namespace

void ReadNetworks(HostSnapshot& snapshot) {
  MibTable table;
  if (GetIfTable2(table.out()) != NO_ERROR) return;
  for (ULONG i = 0; i < table.get()->NumEntries; ++i) {
    const MIB_IF_ROW2& row = table.get()->Table[i];
    if (row.Type == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    std::array<char, 2 * IF_MAX_STRING_SIZE + 2> name{};
    WideCharToMultiByte(CP_ACP, 0, row.Alias, -1, name.data(), static_cast<int>(name.size()), nullptr, nullptr);
    NetFigures net;
    net.name = InstanceSafeName(name.data());
    net.bytes = static_cast<int64_t>(row.InOctets + row.OutOctets);
    snapshot.nets.push_back(net);
  }
}
