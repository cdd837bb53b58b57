#include "adapter/ProfileRecord.h"

#include <algorithm>
#include <cstring>

namespace {

/// Copies a NUL-terminated text field: the bytes up to and including the terminator. A
/// source without a terminator inside its field gives its first N-1 bytes and a terminator.
template <std::size_t N> void CopyText(const char (&source)[N], char (&destination)[N])
{
    const std::size_t n = std::min(FieldLength(source), N - 1);
    std::memmove(destination, source, n);
    destination[n] = '\0';
}

} // namespace

ProfileRecord* InitProfileRecord(ProfileRecord* record)
{
    std::memset(record->profileName, 0, sizeof record->profileName);
    record->reserved1 = 0;
    record->logonFlag = 0;
    std::memset(record->ssid, 0, sizeof record->ssid);
    record->adHoc = 0;
    record->channel = 1;
    record->authMode = 0;
    record->eapOption = 0x80000000u;
    record->encryption = 0;
    record->reserved2 = 0;
    record->keyFormat = 0;
    for (auto& length : record->wepKeyLength)
        length = 5;
    record->keyIndex = 0;
    record->reserved3 = 1;
    std::memset(record->reservedText, 0, sizeof record->reservedText);
    std::memset(record->passphrase, 0, sizeof record->passphrase);
    std::memset(record->wepKeys, 0, sizeof record->wepKeys);
    record->certHashLength = 0;
    std::memset(record->certHash, 0, sizeof record->certHash);
    return record;
}

void CopyProfileRecord(const ProfileRecord* source, ProfileRecord* destination)
{
    if (source == destination)
        return;
    CopyText(source->profileName, destination->profileName);
    CopyText(source->ssid, destination->ssid);
    CopyText(source->reservedText, destination->reservedText);
    CopyText(source->passphrase, destination->passphrase);
    for (int slot = 0; slot < 4; ++slot)
        CopyText(source->wepKeys[slot], destination->wepKeys[slot]);

    destination->reserved1 = source->reserved1;
    destination->logonFlag = source->logonFlag;
    destination->adHoc = source->adHoc;
    destination->channel = source->channel;
    destination->authMode = source->authMode;
    destination->eapOption = source->eapOption;
    destination->encryption = source->encryption;
    destination->reserved2 = source->reserved2;
    destination->keyFormat = source->keyFormat;
    std::memcpy(destination->wepKeyLength, source->wepKeyLength, sizeof source->wepKeyLength);
    destination->keyIndex = source->keyIndex;
    destination->reserved3 = source->reserved3;
    destination->certHashLength = source->certHashLength;

    std::memset(destination->certHash, 0, sizeof destination->certHash);
    const std::size_t hashBytes =
        std::min<std::size_t>(source->certHashLength, sizeof source->certHash);
    std::memcpy(destination->certHash, source->certHash, hashBytes);
}
