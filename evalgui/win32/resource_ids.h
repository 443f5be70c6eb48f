#pragma once

// The program's resources, shared by the resource script and the code.
#define IDI_QV6180EVAL 1
#define IDR_LOGO 101
#define IDR_SCHEMATIC 102
