#include "SimFilter.h"

#include "SimReceiverIds.h"

namespace sim {
namespace {

LONG g_liveObjects = 0;

}  // namespace

SimFilter::SimFilter() { InterlockedIncrement(&g_liveObjects); }

SimFilter::~SimFilter() {
  if (clock_ != nullptr) clock_->Release();
  InterlockedDecrement(&g_liveObjects);
}

LONG SimFilter::LiveObjects() { return g_liveObjects; }

SimDevice* SimFilter::Device() {
  // A client that creates the object without a property bag gets the default scenario.
  if (device_ == nullptr) device_ = FindDevice(kDefaultScenarioName);
  return device_;
}

STDMETHODIMP SimFilter::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IMediaFilter) ||
      IsEqualIID(iid, IID_IBaseFilter)) {
    *object = static_cast<IBaseFilter*>(this);
  } else if (IsEqualIID(iid, IID_IPersistPropertyBag)) {
    *object = static_cast<IPersistPropertyBag*>(this);
  } else if (IsEqualIID(iid, kIidKsControl) && Device()->OffersKsControl()) {
    *object = static_cast<IKsControl*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) SimFilter::AddRef() { return InterlockedIncrement(&references_); }

STDMETHODIMP_(ULONG) SimFilter::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP SimFilter::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = kClsidSimReceiver;
  return S_OK;
}

STDMETHODIMP SimFilter::Stop() {
  state_ = State_Stopped;
  return S_OK;
}

STDMETHODIMP SimFilter::Pause() {
  state_ = State_Paused;
  return S_OK;
}

STDMETHODIMP SimFilter::Run(REFERENCE_TIME) {
  state_ = State_Running;
  return S_OK;
}

STDMETHODIMP SimFilter::GetState(DWORD, FILTER_STATE* state) {
  if (state == nullptr) return E_POINTER;
  *state = state_;
  return S_OK;
}

STDMETHODIMP SimFilter::SetSyncSource(IReferenceClock* clock) {
  if (clock != nullptr) clock->AddRef();
  if (clock_ != nullptr) clock_->Release();
  clock_ = clock;
  return S_OK;
}

STDMETHODIMP SimFilter::GetSyncSource(IReferenceClock** clock) {
  if (clock == nullptr) return E_POINTER;
  *clock = clock_;
  if (clock_ != nullptr) clock_->AddRef();
  return S_OK;
}

STDMETHODIMP SimFilter::EnumPins(IEnumPins** pins) {
  if (pins != nullptr) *pins = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SimFilter::FindPin(LPCWSTR, IPin** pin) {
  if (pin != nullptr) *pin = nullptr;
  return VFW_E_NOT_FOUND;
}

STDMETHODIMP SimFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (info == nullptr) return E_POINTER;
  lstrcpynW(info->achName, graphName_[0] != 0 ? graphName_ : Device()->Name().c_str(), MAX_FILTER_NAME);
  info->pGraph = graph_;
  if (graph_ != nullptr) graph_->AddRef();
  return S_OK;
}

STDMETHODIMP SimFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  graph_ = graph;
  lstrcpynW(graphName_, name != nullptr ? name : L"", MAX_FILTER_NAME);
  return S_OK;
}

STDMETHODIMP SimFilter::QueryVendorInfo(LPWSTR* info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SimFilter::InitNew() { return S_OK; }

STDMETHODIMP SimFilter::Load(IPropertyBag* bag, IErrorLog* errors) {
  if (bag == nullptr) return E_POINTER;
  VARIANT name;
  VariantInit(&name);
  name.vt = VT_BSTR;
  if (SUCCEEDED(bag->Read(L"FriendlyName", &name, errors)) && name.vt == VT_BSTR && name.bstrVal != nullptr)
    device_ = FindDevice(name.bstrVal);
  VariantClear(&name);
  return Device()->LoadResult();
}

STDMETHODIMP SimFilter::Save(IPropertyBag*, BOOL, BOOL) { return E_NOTIMPL; }

STDMETHODIMP SimFilter::KsProperty(PKSPROPERTY property, ULONG propertyLength, LPVOID data, ULONG dataLength,
                                   ULONG* bytesReturned) {
  return Device()->KsProperty(property, propertyLength, data, dataLength, bytesReturned);
}

STDMETHODIMP SimFilter::KsMethod(PKSMETHOD, ULONG, LPVOID, ULONG, ULONG* bytesReturned) {
  if (bytesReturned != nullptr) *bytesReturned = 0;
  return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

STDMETHODIMP SimFilter::KsEvent(PKSEVENT, ULONG, LPVOID, ULONG, ULONG* bytesReturned) {
  if (bytesReturned != nullptr) *bytesReturned = 0;
  return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

}  // namespace sim
