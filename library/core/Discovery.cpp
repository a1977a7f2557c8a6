// Finding the receiver's driver filter among the devices of a category and binding it.
#include "Connection.h"
#include "Trace.h"

namespace korvan {
namespace {

// KSCATEGORY_CAPTURE {65e8773d-8f56-11d0-a3b9-00a0c9223196}
constexpr Guid kCaptureCategory = {0x65e8773d, 0x8f56, 0x11d0, {0xa3, 0xb9, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};

// CDEF_DEVMON_PNP_DEVICE: Plug and Play devices only.
constexpr uint32_t kPnpDevicesOnly = 0x40;

// The driver filters of this system's receivers, tested in this order, in lower case.
const char16_t* const ReceiverFilterIds[] = {
    u"{9b365890-165f-11d0-a195-0020afd156e4}", u"{9b365890-165f-11d0-a195-0020afd156e5}",
    u"{92fb1e43-609e-4e54-8f22-77acedf89bdc}", u"{92fb1e43-609e-4e54-8f22-77acedf89bdd}",
    u"{cacacefd-1b5f-49f4-af24-0ce559cc1e6d}", u"{cacacefd-1b5f-49f4-af24-0ce559cc1e6e}",
    u"{a38de571-030d-4880-a3b5-9170020f77ea}",
};
constexpr int kReceiverFilterIdCount = sizeof ReceiverFilterIds / sizeof ReceiverFilterIds[0];

bool Contains(const char16_t* text, const char16_t* part) {
  for (const char16_t* start = text; *start; ++start) {
    const char16_t* a = start;
    const char16_t* b = part;
    while (*a && *b && *a == *b) ++a, ++b;
    if (!*b) return true;
  }
  return !*part;
}

void LowerInPlace(char16_t* text) {
  for (; *text; ++text)
    if (*text >= u'A' && *text <= u'Z') *text = static_cast<char16_t>(*text - u'A' + u'a');
}

// A receiver's name carries the bus marker and one of the identifiers [first, first + count).
bool MatchesReceiver(const char16_t* lowered, int firstId, int idCount) {
  if (!Contains(lowered, u"usb")) return false;
  for (int i = firstId; i < firstId + idCount; ++i)
    if (Contains(lowered, ReceiverFilterIds[i])) return true;
  return false;
}

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// Walks the category, traces every named device, and binds the match numbered index
// (counted from 0). The search owns every object it creates and releases each on every path.
bool BindMatchingFilter(ReceiverDevice& device, const Guid& category, int firstId, int idCount,
                        int32_t index) {
  DeviceDiscovery& discovery = *Platform().discovery;
  DeviceEnumerator* deviceEnumerator = nullptr;
  if (!Succeeded(discovery.CreateDeviceEnumerator(&deviceEnumerator))) {
    ReleaseAndClear(deviceEnumerator);
    return false;
  }
  MonikerEnumerator* monikers = nullptr;
  HResult hr = deviceEnumerator->CreateClassEnumerator(category, &monikers, kPnpDevicesOnly);
  if (!Succeeded(hr) || !monikers) {
    ReleaseAndClear(monikers);
    ReleaseAndClear(deviceEnumerator);
    return false;
  }

  bool bound = false;
  int32_t matchCount = 0;
  for (;;) {
    DeviceMoniker* moniker = nullptr;
    if (monikers->Next(&moniker) != kS_OK || !moniker) {
      ReleaseAndClear(moniker);
      break;
    }
    char16_t* name = nullptr;
    bool done = false;
    if (Succeeded(moniker->GetDisplayName(&name)) && name) {
      LowerInPlace(name);
      TraceFormat(u"DisplayName: %s", name);
      if (MatchesReceiver(name, firstId, idCount)) {
        if (matchCount == index) {
          FilterObject* filter = nullptr;
          bound = Succeeded(moniker->BindToFilter(&filter)) && filter;
          if (bound)
            device.m_pFilter = filter;
          else
            ReleaseAndClear(filter);
          done = true;  // the selected match decides, whatever the bind's outcome
        } else {
          ++matchCount;
        }
      }
    }
    if (name) discovery.FreeDisplayName(name);
    moniker->Release();
    if (done) break;
  }
  monikers->Release();
  deviceEnumerator->Release();
  return bound;
}

}  // namespace

bool FindTunerFilter(ReceiverDevice& device, int32_t index) {
  return BindMatchingFilter(device, kTunerCategory, 0, kReceiverFilterIdCount, index);
}

bool FindCaptureFilter(ReceiverDevice& device) {
  // Capture filters are recognised by the seventh identifier only; the first match is bound.
  return BindMatchingFilter(device, kCaptureCategory, kReceiverFilterIdCount - 1, 1, 0);
}

bool GetKsControl(ReceiverDevice& device) {
  if (!device.m_pFilter) return false;
  PropertyPort* port = nullptr;
  if (!Succeeded(device.m_pFilter->QueryPropertyPort(&port))) {
    ReleaseAndClear(port);
    return false;
  }
  device.m_pKsControl = port;
  return port != nullptr;
}

}  // namespace korvan
