// The boards of ksthid_api.h, and the one shape of its queries: send the
// request, and on an answer let the caller take its values from it.
#pragma once

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

// 0 once `take` has read the answer, else the failure of the query.
template <typename Take>
int queryBoard(ksthid_board* board, const Report& request, Take take) {
  Report answer;
  if (const int result = board->query(request, answer); result < 0) return result;
  take(answer);
  return 0;
}

// A query of one value: `decode` turns the answer into what *value gets.
template <typename Value, typename Decode>
int queryValue(ksthid_board* board, Value* value, CommandCode command, Decode decode) {
  if (!board || !value) return KSTHID_E_INVALID_ARGUMENT;
  return queryBoard(board, queryRequest(command),
                    [&](const Report& answer) { *value = static_cast<Value>(decode(answer)); });
}

}  // namespace ksthid
