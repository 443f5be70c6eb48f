"""The limits of the bridge's commands as the library states them, and the
firmware's month names."""

kMaxRetries = 0x7FFF
kMaxBoardIndex = 0x7FFF
kI2CAddresses = (0x00, 0x7F)
kI2CScanned = range(0x08, 0x78)  # the addresses i2cdetect scans by default
# The limits as ksthid_api.h states them, and the months as the tools name them: the test
# ksthid_copies_agree holds these to the library's.
kI2CMaxRead = 62
kI2CMaxWriteAfterRegister = 58
kI2CMaxWriteAlone = 59
kI2CMaxRegisterPlusCount = 255
kSPIMaxTransfer = 57
kOptionBits = (0, 7)
kByte = (0, 255)
kTimeoutMs = (1, 600000)
kMonths = (
    "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December",
)  # fmt: skip
