/*
 * Korvan.dll: access to a USB digital-TV receiver's driver filter.
 *
 * Every export is a plain function using the C calling convention (__cdecl) and is found by
 * its undecorated name, except TESK_ReadLLReg and TESK_WriteLLReg, which are exported under
 * decorated C++ names at the entry points of TESK_ReadReg and TESK_WriteReg.
 * Usable from C (C99 or later) and C++.
 */
#ifndef KORVAN_H
#define KORVAN_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32)
#define KORVAN_CALL __cdecl
#else
#define KORVAN_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Index 0 to 9 of a receiver slot; every receiver export takes it as its last argument. */
typedef int32_t DeviceNumber;
/* Chip identifier reported by the infra-red open; 0 means nothing was opened. */
typedef uint16_t ChipId;

/* Results of the channel operations. */
enum {
  CHANNEL_OK = 0,
  CHANNEL_FAILED = 1,
  CHANNEL_NOT_IMPLEMENTED = 2
};

/* Connection life cycle. */
bool KORVAN_CALL TESK_init(DeviceNumber deviceNumber);
void KORVAN_CALL TESK_exit(DeviceNumber deviceNumber);
/* "20100730.1"; the caller neither frees nor changes it. */
const char* KORVAN_CALL TESK_GetDllVersion(void);

#ifdef __cplusplus
}
#endif

#endif /* KORVAN_H */
