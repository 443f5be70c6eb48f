#pragma once

// The words for a code of the calculator's exports; null for any other code.
const char* calculatorFaultText(int code);
