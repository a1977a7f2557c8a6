// Identifiers shared by the resource script and the program. Plain macros: the resource
// compiler reads this file too.
#pragma once

#define IDR_TRAYMENU 128
#define IDI_KEY 215
#define IDI_NODEVICE 216
#define IDI_READY 217
#define ID_TRAY_EXIT 32774
