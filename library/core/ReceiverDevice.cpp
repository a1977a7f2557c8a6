#include "ReceiverDevice.h"

#include "Connection.h"
#include "Trace.h"

namespace korvan {

bool g_bShowChannelFailure = true;

ReceiverDevice::~ReceiverDevice() {
  if (FilterObject* filter = m_pFilter) {
    m_pFilter = nullptr;
    filter->Release();
  }
  if (PropertyPort* port = m_pKsControl) {
    m_pKsControl = nullptr;
    port->Release();
  }
}

HResult ReceiverDevice::SendRequest(DriverRequest& request, RequestForm form, void* data,
                                    uint32_t length, uint32_t* bytesReturned) {
  if (!m_pKsControl) return kE_POINTER;
  uint32_t ignored = 0;
  return m_pKsControl->KsProperty(&request, static_cast<uint32_t>(form), data, length,
                                  bytesReturned ? bytesReturned : &ignored);
}

HResult ReceiverDevice::Get(const Guid& set, uint32_t id, void* data, uint32_t length) {
  DriverRequest request = MakeRequest(set, id, KSPROPERTY_TYPE_GET);
  return SendRequest(request, RequestForm::Short, data, length);
}

HResult ReceiverDevice::Set(const Guid& set, uint32_t id, void* data, uint32_t length) {
  DriverRequest request = MakeRequest(set, id, KSPROPERTY_TYPE_SET);
  return SendRequest(request, RequestForm::Short, data, length);
}

HResult ReceiverDevice::SetNodeValue(const Guid& set, uint32_t id, uint32_t value) {
  DriverRequest request = MakeRequest(set, id, KSPROPERTY_TYPE_SET);
  request.Reserved = value;
  return SendRequest(request, RequestForm::Node, &request.Reserved, sizeof request.Reserved);
}

int32_t ReceiverDevice::ChannelRoutine(uint32_t channel, uint32_t flags, void* data,
                                       uint32_t length, uint32_t* bytesReturned) {
  static const char16_t* const kNotImplementedTexts[2][2] = {
      {u"<Korvan> DVB_GetDRVData: Not Implemented!", u"<Korvan> DVB_SetDRVData: Not Implemented!"},
      {u"<Korvan> DVB_GetDEVData: Not Implemented!", u"<Korvan> DVB_SetDEVData: Not Implemented!"}};
  static const char16_t* const kFailedTexts[2][2] = {
      {u"<Korvan> DVB_GetDRVData: Failed!", u"<Korvan> DVB_SetDRVData: Failed!"},
      {u"<Korvan> DVB_GetDEVData: Failed!", u"<Korvan> DVB_SetDEVData: Failed!"}};

  DriverRequest request = MakeRequest(PROPSET_CHANNEL, channel, flags);
  HResult hr = SendRequest(request, RequestForm::Short, data, length, bytesReturned);
  if (Succeeded(hr)) return CHANNEL_OK;
  const int isSet = flags == KSPROPERTY_TYPE_SET ? 1 : 0;
  if (hr == kNotImplemented) {
    Trace(kNotImplementedTexts[channel][isSet]);
    return CHANNEL_NOT_IMPLEMENTED;
  }
  if (g_bShowChannelFailure) Trace(kFailedTexts[channel][isSet]);
  return CHANNEL_FAILED;
}

int32_t ReceiverDevice::DVB_SetDRVData(void* data, uint32_t length, uint32_t* bytesReturned) {
  return ChannelRoutine(CHANNEL_ID_DRV, KSPROPERTY_TYPE_SET, data, length, bytesReturned);
}
int32_t ReceiverDevice::DVB_GetDRVData(void* data, uint32_t length, uint32_t* bytesReturned) {
  return ChannelRoutine(CHANNEL_ID_DRV, KSPROPERTY_TYPE_GET, data, length, bytesReturned);
}
int32_t ReceiverDevice::DVB_SetDEVData(void* data, uint32_t length, uint32_t* bytesReturned) {
  return ChannelRoutine(CHANNEL_ID_DEV, KSPROPERTY_TYPE_SET, data, length, bytesReturned);
}
int32_t ReceiverDevice::DVB_GetDEVData(void* data, uint32_t length, uint32_t* bytesReturned) {
  return ChannelRoutine(CHANNEL_ID_DEV, KSPROPERTY_TYPE_GET, data, length, bytesReturned);
}

int32_t ReceiverDevice::ChannelRead(uint32_t channel, void* command, uint32_t commandLength,
                                    void* reply, uint32_t replyLength, bool silenceFailures) {
  if (silenceFailures) g_bShowChannelFailure = false;
  LibraryLock lock;
  uint32_t returned = 0;
  int32_t result = ChannelRoutine(channel, KSPROPERTY_TYPE_SET, command, commandLength, &returned);
  if (result == CHANNEL_OK)
    result = ChannelRoutine(channel, KSPROPERTY_TYPE_GET, reply, replyLength, &returned);
  if (silenceFailures) g_bShowChannelFailure = true;
  return result;
}

int32_t ReceiverDevice::ChannelWrite(void* command, uint32_t commandLength) {
  uint32_t returned = 0;
  return DVB_SetDEVData(command, commandLength, &returned);
}

}  // namespace korvan
