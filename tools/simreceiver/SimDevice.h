#pragma once
// One simulated receiver as the process sees it: the model behind a lock, its start time and
// its request log. Filter objects bound under the same scenario name share one device, and a
// device lives as long as the process, so that closing and reopening finds the state it left.
#include <windows.h>

#include <string>

#include "ReceiverModel.h"

namespace sim {

class SimDevice {
 public:
  SimDevice(const std::wstring& name, const std::wstring& folder);
  ~SimDevice();
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  // The IKsControl::KsProperty of every filter object of this device.
  HRESULT KsProperty(const void* request, ULONG requestLength, void* data, ULONG dataLength,
                     ULONG* bytesReturned);

  bool OffersKsControl();
  HRESULT LoadResult();
  const std::wstring& Name() const { return name_; }

 private:
  void AppendLog(const std::string& line);

  std::wstring name_;
  std::wstring logPath_;
  CRITICAL_SECTION lock_;
  ULONGLONG startTick_;
  ReceiverModel* model_;
};

// The device of a scenario name, created on first use. Never null.
SimDevice* FindDevice(const std::wstring& friendlyName);

}  // namespace sim
