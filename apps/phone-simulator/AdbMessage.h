#pragma once

#include <QByteArray>

#include <cstdint>

// One message of the adb transport between the adb server and a device: a
// 24-byte header of six little-endian words (command, arg0, arg1, payload
// length, payload checksum, magic = command ^ 0xffffffff) and the payload.
class AdbMessage
{
public:
    enum Command : uint32_t {
        Cnxn = 0x4e584e43,
        Auth = 0x48545541,
        Open = 0x4e45504f,
        Okay = 0x59414b4f,
        Wrte = 0x45545257,
        Clse = 0x45534c43,
    };
    // AUTH arg0: what the payload holds.
    enum AuthType : uint32_t { AuthToken = 1, AuthSignature = 2, AuthRsaPublicKey = 3 };

    static constexpr int kHeaderSize = 24;
    // Versions: the newer one no longer checks payload checksums.
    static constexpr uint32_t kVersionChecksummed = 0x01000000;
    static constexpr uint32_t kVersionSkipChecksum = 0x01000001;

    uint32_t nCommand = 0;
    uint32_t nArg0 = 0;
    uint32_t nArg1 = 0;
    uint32_t nLength = 0;
    uint32_t nChecksum = 0;

    // Reads a header from kHeaderSize bytes. False when the magic does not
    // match the command (not an adb message).
    bool ParseHeader(const char *pHeader);

    // The header of a message carrying nLength bytes at pPayload. The
    // checksum (byte sum) is only computed when bChecksum is set.
    static QByteArray Header(uint32_t nCommand, uint32_t nArg0, uint32_t nArg1,
                             const char *pPayload, uint32_t nLength, bool bChecksum);
    static uint32_t Checksum(const char *pData, qsizetype nLength);
    // "CNXN" etc., for log lines.
    static QByteArray Name(uint32_t nCommand);
};
