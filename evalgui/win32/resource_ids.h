#pragma once

// The program's resources, shared by the resource script and the code.
#define IDI_QV6180EVAL 1
#define IDD_STANDARD_RESISTORS 201
#define IDC_STANDARD_RESISTORS_HEADING 202
#define IDC_STANDARD_RESISTORS_LIST 203
