// The boards of ksthid_api.h, and the one shape of its queries: send the
// request, and on an answer let the caller take its values from it.
#pragma once

#include <string>

#include "board.h"
#include "ksthid_api.h"

struct ksthid_board : ksthid::Board {
  using Board::Board;
};

namespace ksthid {

// What the header tells callers is what the wire format allows.
static_assert(KSTHID_VENDOR_ID == kBridgeVendorId && KSTHID_PRODUCT_ID == kBridgeProductId);
static_assert(KSTHID_I2C_MAX_READ == kMaxI2CReadCount);
static_assert(KSTHID_I2C_MAX_WRITE == kMaxI2CWriteLength);
static_assert(KSTHID_I2C_MAX_WRITE_WITH_REGISTER == kMaxI2CWriteLength - 1);
static_assert(KSTHID_SPI_MAX_TRANSFER == kMaxSPICount);

// Refuses an argument before anything is sent. The calling thread's last error on the handle says
// which argument and why; a null handle has nowhere to keep it.
inline int refuse(ksthid_board* board, const std::string& why) {
  return board ? board->fail(KSTHID_E_INVALID_ARGUMENT, why) : KSTHID_E_INVALID_ARGUMENT;
}

// "register 300 is out of range: -1 (none) or 0 to 255"
inline int refuseValue(ksthid_board* board, const char* name, long long value,
                       const std::string& allowed) {
  return refuse(board,
                std::string(name) + " " + std::to_string(value) + " is out of range: " + allowed);
}

inline int refuseNull(ksthid_board* board, const char* name) {
  return refuse(board, std::string(name) + " is null");
}

// 0 once `take` has read the answer, else the failure of the query.
template <typename Take>
int queryBoard(ksthid_board* board, const Report& request, Take take) {
  Report answer;
  if (const int result = board->query(request, answer); result < 0) return result;
  take(answer);
  return 0;
}

// A query of one value: `decode` turns the answer into what *value gets.
// `name` is the value's argument, for the refusal of a null one.
template <typename Value, typename Decode>
int queryValue(ksthid_board* board, Value* value, const char* name, CommandCode command,
               Decode decode) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  if (!value) return refuseNull(board, name);
  return queryBoard(board, queryRequest(command),
                    [&](const Report& answer) { *value = static_cast<Value>(decode(answer)); });
}

}  // namespace ksthid
