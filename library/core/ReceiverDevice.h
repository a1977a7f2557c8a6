#pragma once
// The record of one open receiver: its driver filter and the filter's property interface,
// and the request routines every operation is built from.
#include <cstdint>

#include "DriverRequest.h"
#include "LibraryPlatform.h"

namespace korvan {

struct ReceiverDevice {
  PropertyPort* m_pKsControl = nullptr;
  FilterObject* m_pFilter = nullptr;

  ReceiverDevice() = default;
  ReceiverDevice(const ReceiverDevice&) = delete;
  ReceiverDevice& operator=(const ReceiverDevice&) = delete;
  // Releases the filter first, then the property interface.
  ~ReceiverDevice();

  // One request through the property interface. form decides the request length; a device
  // without a property interface answers kE_POINTER and sends nothing.
  HResult SendRequest(DriverRequest& request, RequestForm form, void* data, uint32_t length,
                      uint32_t* bytesReturned = nullptr);
  HResult Get(const Guid& set, uint32_t id, void* data, uint32_t length);
  HResult Set(const Guid& set, uint32_t id, void* data, uint32_t length);
  // A node-form set of one 32-bit value carried in the request's Reserved word.
  HResult SetNodeValue(const Guid& set, uint32_t id, uint32_t value);

  // The data channels.
  int32_t DVB_SetDRVData(void* data, uint32_t length, uint32_t* bytesReturned);
  int32_t DVB_GetDRVData(void* data, uint32_t length, uint32_t* bytesReturned);
  int32_t DVB_SetDEVData(void* data, uint32_t length, uint32_t* bytesReturned);
  int32_t DVB_GetDEVData(void* data, uint32_t length, uint32_t* bytesReturned);

  // The locked write-then-read exchange: the command on the channel's set routine, then, only
  // if that was accepted, the reply through its get routine. Returns the last step's result.
  // silenceFailures clears g_bShowChannelFailure before the lock is taken and sets it again
  // before the lock is released (the raw-code read polls and expects to fail quietly).
  int32_t ChannelRead(uint32_t channel, void* command, uint32_t commandLength, void* reply,
                      uint32_t replyLength, bool silenceFailures = false);
  // The unlocked single-step channel write on the device channel.
  int32_t ChannelWrite(void* command, uint32_t commandLength);

 private:
  int32_t ChannelRoutine(uint32_t channel, uint32_t flags, void* data, uint32_t length,
                         uint32_t* bytesReturned);
};

}  // namespace korvan
