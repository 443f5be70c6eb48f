"""What one bridge transaction can make of SMBus, as Linux's I2C_FUNC_* bits,
and SMBus's Packet Error Code."""

from __future__ import annotations

from enum import IntFlag

from .arguments import Bytes


class I2cFunc(IntFlag):
    """Linux's I2C_FUNC_* bits, as smbus2 names them."""

    I2C = 0x00000001
    SMBUS_PEC = 0x00000008
    SMBUS_BLOCK_PROC_CALL = 0x00008000
    SMBUS_QUICK = 0x00010000
    SMBUS_READ_BYTE = 0x00020000
    SMBUS_WRITE_BYTE = 0x00040000
    SMBUS_READ_BYTE_DATA = 0x00080000
    SMBUS_WRITE_BYTE_DATA = 0x00100000
    SMBUS_READ_WORD_DATA = 0x00200000
    SMBUS_WRITE_WORD_DATA = 0x00400000
    SMBUS_PROC_CALL = 0x00800000
    SMBUS_READ_BLOCK_DATA = 0x01000000
    SMBUS_WRITE_BLOCK_DATA = 0x02000000
    SMBUS_READ_I2C_BLOCK = 0x04000000
    SMBUS_WRITE_I2C_BLOCK = 0x08000000


# What one bridge transaction makes: a read or a write, or a write of one
# byte then a read. A quick command (no data byte) and the process calls and
# block reads (more than one byte written before the read, or a length the
# device gives) are not among them.
kBridgeFunctions = (
    I2cFunc.I2C
    | I2cFunc.SMBUS_PEC
    | I2cFunc.SMBUS_READ_BYTE
    | I2cFunc.SMBUS_WRITE_BYTE
    | I2cFunc.SMBUS_READ_BYTE_DATA
    | I2cFunc.SMBUS_WRITE_BYTE_DATA
    | I2cFunc.SMBUS_READ_WORD_DATA
    | I2cFunc.SMBUS_WRITE_WORD_DATA
    | I2cFunc.SMBUS_WRITE_BLOCK_DATA
    | I2cFunc.SMBUS_READ_I2C_BLOCK
    | I2cFunc.SMBUS_WRITE_I2C_BLOCK
)

kPecPolynomial = 0x07  # x^8 + x^2 + x + 1


def pec_of(data: Bytes) -> int:
    """SMBus's Packet Error Code of ``data``: CRC-8 with the polynomial
    x^8 + x^2 + x + 1, starting from 0, over every byte of the transaction,
    the address bytes among them."""
    crc = 0
    for byte in bytes(data):
        crc ^= byte
        for _ in range(8):
            crc = (crc << 1 ^ kPecPolynomial if crc & 0x80 else crc << 1) & 0xFF
    return crc
