// The device enumeration and property interface of the seam on DirectShow's system device
// enumerator, monikers, IBaseFilter and kernel-streaming IKsControl. Each adapter holds exactly
// the one COM reference it stands for; the core decides when it goes.
#include <windows.h>
#include <dshow.h>
#include <ks.h>
#include <ksproxy.h>

#include "ComRef.h"
#include "Win32Platform.h"

namespace {

using korvan::HResult;

// The seam's Guid and the platform's GUID share one memory layout.
const GUID& AsGuid(const korvan::Guid& g) { return reinterpret_cast<const GUID&>(g); }

const GUID kIID_IKsControl = {0x28f54685, 0x06fd, 0x11d2, {0xb2, 0x7a, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};
constexpr DWORD kAnyServer = 0x17;  // in-process server and handler, local and remote server

class KsControlPort final : public korvan::PropertyPort {
 public:
  explicit KsControlPort(IKsControl* control) : m_control(control) {}
  void Release() override { delete this; }
  HResult KsProperty(const void* request, uint32_t requestLength, void* data, uint32_t dataLength,
                     uint32_t* bytesReturned) override {
    ULONG returned = 0;
    HRESULT hr = m_control->KsProperty(
        reinterpret_cast<PKSPROPERTY>(const_cast<void*>(request)), requestLength, data, dataLength, &returned);
    if (bytesReturned) *bytesReturned = returned;
    return hr;
  }

 private:
  ComRef<IKsControl> m_control;
};

class BaseFilter final : public korvan::FilterObject {
 public:
  explicit BaseFilter(IBaseFilter* filter) : m_filter(filter) {}
  void Release() override { delete this; }
  HResult QueryPropertyPort(korvan::PropertyPort** port) override {
    *port = nullptr;
    ComRef<IKsControl> control;
    HRESULT hr = m_filter->QueryInterface(kIID_IKsControl, reinterpret_cast<void**>(control.Put()));
    if (control.Get()) *port = new KsControlPort(control.Detach());
    return hr;
  }

 private:
  ComRef<IBaseFilter> m_filter;
};

class DeviceMoniker final : public korvan::DeviceMoniker {
 public:
  explicit DeviceMoniker(IMoniker* moniker) : m_moniker(moniker) {}
  void Release() override { delete this; }
  HResult GetDisplayName(char16_t** name) override {
    LPOLESTR text = nullptr;
    HRESULT hr = m_moniker->GetDisplayName(nullptr, nullptr, &text);
    *name = reinterpret_cast<char16_t*>(text);  // UTF-16 on this platform
    return hr;
  }
  HResult BindToFilter(korvan::FilterObject** filter) override {
    *filter = nullptr;
    ComRef<IBaseFilter> bound;
    HRESULT hr = m_moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                         reinterpret_cast<void**>(bound.Put()));
    if (bound.Get()) *filter = new BaseFilter(bound.Detach());
    return hr;
  }

 private:
  ComRef<IMoniker> m_moniker;
};

class MonikerEnumerator final : public korvan::MonikerEnumerator {
 public:
  explicit MonikerEnumerator(IEnumMoniker* e) : m_enum(e) {}
  void Release() override { delete this; }
  HResult Next(korvan::DeviceMoniker** moniker) override {
    *moniker = nullptr;
    ComRef<IMoniker> next;
    HRESULT hr = m_enum->Next(1, next.Put(), nullptr);
    if (next.Get()) *moniker = new DeviceMoniker(next.Detach());
    return hr;
  }

 private:
  ComRef<IEnumMoniker> m_enum;
};

class DeviceEnumerator final : public korvan::DeviceEnumerator {
 public:
  explicit DeviceEnumerator(ICreateDevEnum* e) : m_enum(e) {}
  void Release() override { delete this; }
  HResult CreateClassEnumerator(const korvan::Guid& category, korvan::MonikerEnumerator** enumerator,
                                uint32_t flags) override {
    *enumerator = nullptr;
    ComRef<IEnumMoniker> monikers;
    HRESULT hr = m_enum->CreateClassEnumerator(AsGuid(category), monikers.Put(), flags);
    if (monikers.Get()) *enumerator = new MonikerEnumerator(monikers.Detach());
    return hr;
  }

 private:
  ComRef<ICreateDevEnum> m_enum;
};

}  // namespace

HResult Win32Discovery::CreateDeviceEnumerator(korvan::DeviceEnumerator** enumerator) {
  *enumerator = nullptr;
  ComRef<ICreateDevEnum> devices;
  HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, kAnyServer, IID_ICreateDevEnum,
                                reinterpret_cast<void**>(devices.Put()));
  if (devices.Get()) *enumerator = new DeviceEnumerator(devices.Detach());
  return hr;
}

void Win32Discovery::FreeDisplayName(char16_t* name) { CoTaskMemFree(name); }
