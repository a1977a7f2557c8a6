#pragma once
// The filter object a moniker of a simulated receiver binds to: enough of a kernel-streaming
// filter for a client that looks for IBaseFilter and then talks IKsControl to it.
#include <windows.h>
#include <ocidl.h>
#include <strmif.h>
#include <ks.h>
#include <ksproxy.h>
#include <vfwmsgs.h>

#include "SimDevice.h"

namespace sim {

class SimFilter final : public IBaseFilter, public IPersistPropertyBag, public IKsControl {
 public:
  SimFilter();
  SimFilter(const SimFilter&) = delete;
  SimFilter& operator=(const SimFilter&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IPersist (through both IBaseFilter and IPersistPropertyBag)
  STDMETHODIMP GetClassID(CLSID* clsid) override;

  // IMediaFilter
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;

  // IBaseFilter
  STDMETHODIMP EnumPins(IEnumPins** pins) override;
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

  // IPersistPropertyBag: the bag names the scenario this object plays.
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* errors) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IKsControl
  STDMETHODIMP KsProperty(PKSPROPERTY property, ULONG propertyLength, LPVOID data, ULONG dataLength,
                          ULONG* bytesReturned) override;
  STDMETHODIMP KsMethod(PKSMETHOD method, ULONG methodLength, LPVOID data, ULONG dataLength,
                        ULONG* bytesReturned) override;
  STDMETHODIMP KsEvent(PKSEVENT event, ULONG eventLength, LPVOID data, ULONG dataLength,
                       ULONG* bytesReturned) override;

  // Objects alive in the process, for DllCanUnloadNow.
  static LONG LiveObjects();

 private:
  ~SimFilter();
  SimDevice* Device();

  LONG references_ = 1;
  SimDevice* device_ = nullptr;  // owned by the process-wide device table
  FILTER_STATE state_ = State_Stopped;
  IReferenceClock* clock_ = nullptr;
  IFilterGraph* graph_ = nullptr;  // not referenced: the graph owns its filters
  WCHAR graphName_[MAX_FILTER_NAME] = {};
};

}  // namespace sim
