#pragma once
// The request record that carries every operation to the receiver's driver, the property sets
// it names and the results of the two data channels.
#include <cstdint>

#include "LibraryPlatform.h"

namespace korvan {

// Kernel-streaming property header (24 bytes) followed by the node words of the node form
// (32 bytes). The library never gives NodeId a value; the single-value sets use Reserved as
// their data buffer, so the driver sees the value twice.
struct DriverRequest {
  Guid Set;
  uint32_t Id;
  uint32_t Flags;
  uint32_t NodeId;
  uint32_t Reserved;
};
static_assert(sizeof(DriverRequest) == 32, "request layout");

enum class RequestForm : uint32_t { Short = 24, Node = 32 };

constexpr uint32_t KSPROPERTY_TYPE_GET = 1;
constexpr uint32_t KSPROPERTY_TYPE_SET = 2;

// {c6efe5eb-855a-4f1b-b7aa-87b5e1dc4113}: the direct operations.
constexpr Guid PROPSET_CONTROL = {0xc6efe5eb, 0x855a, 0x4f1b, {0xb7, 0xaa, 0x87, 0xb5, 0xe1, 0xdc, 0x41, 0x13}};
// {d0a67d65-08df-4fec-8533-e5b550410b85}: the published BDA PID-filter set (PID map only).
constexpr Guid PROPSET_PIDMAP = {0xd0a67d65, 0x08df, 0x4fec, {0x85, 0x33, 0xe5, 0xb5, 0x50, 0x41, 0x0b, 0x85}};
// {f23fac2d-e1af-48e0-8bbe-a14029c92f11}: the two data channels.
constexpr Guid PROPSET_CHANNEL = {0xf23fac2d, 0xe1af, 0x48e0, {0x8b, 0xbe, 0xa1, 0x40, 0x29, 0xc9, 0x2f, 0x11}};

constexpr uint32_t CHANNEL_ID_DRV = 0;
constexpr uint32_t CHANNEL_ID_DEV = 1;

// Results of the channel routines and of the exports built on them.
enum ChannelResult : int32_t {
  CHANNEL_OK = 0,
  CHANNEL_FAILED = 1,
  CHANNEL_NOT_IMPLEMENTED = 2,
};

// The HRESULT form of ERROR_INVALID_FUNCTION: the driver lacks the property.
constexpr HResult kNotImplemented = static_cast<HResult>(0x80070001);

inline DriverRequest MakeRequest(const Guid& set, uint32_t id, uint32_t flags) {
  DriverRequest request{};
  request.Set = set;
  request.Id = id;
  request.Flags = flags;
  return request;
}

// Channel failure traces are written only while this is set (silenced by the raw-code read).
extern bool g_bShowChannelFailure;

}  // namespace korvan
