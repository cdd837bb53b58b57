#pragma once
/// The connection profile record and its two operations.

#include "adapter/Mirodel.h"

#include <cstddef>

/// Sets the defaults: texts and certHash cleared, every wepKeyLength 5, channel 1,
/// eapOption 0x80000000, reserved3 1, every other field 0. Padding is left as it is.
ProfileRecord* InitProfileRecord(ProfileRecord* record);

/// Copies `source` onto `destination` field by field. Texts are copied up to and including
/// their terminator (the destination keeps its bytes after it); a source text without a
/// terminator inside its field is cut to the field size less one. certHash is cleared, then
/// the first certHashLength bytes (at most 128) are copied. Padding is not copied.
/// Copying a record onto itself does nothing.
void CopyProfileRecord(const ProfileRecord* source, ProfileRecord* destination);

/// Length of a text field, never beyond the field.
template <std::size_t N> std::size_t FieldLength(const char (&field)[N])
{
    std::size_t n = 0;
    while (n < N && field[n] != '\0')
        ++n;
    return n;
}
