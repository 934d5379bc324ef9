// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Numbers as the program's files and stored values keep them: least significant byte
// first, whatever the processor's own order (wave headers, bookmark files, the text
// trailer of a recording, registry numbers, UTF-16 text, 16-bit samples).

#include <QByteArray>
#include <QtEndian>

#include <cstdint>

namespace LittleEndian {

// The number of type T stored at at (sizeof(T) bytes, any alignment).
template <typename T>
T Read(const void* at)
{
    return qFromLittleEndian<T>(at);
}

// Stores value at at (sizeof(T) bytes, any alignment).
template <typename T>
void Write(void* at, T value)
{
    qToLittleEndian<T>(value, at);
}

// Appends value's sizeof(T) bytes to a byte string (QByteArray, std::string).
template <typename T, typename Bytes>
void Append(Bytes& out, T value)
{
    char bytes[sizeof(T)];
    Write<T>(bytes, value);
    out.append(bytes, sizeof(T));
}

// value's sizeof(T) bytes as a byte string of their own.
template <typename T>
QByteArray Bytes(T value)
{
    QByteArray out;
    Append<T>(out, value);
    return out;
}

// A field narrower than its number (the three-byte count of a bookmark file): the
// first size bytes at at, size from 1 to 4; the bytes above them read as zero.
inline std::uint32_t ReadField(const void* at, int size)
{
    const auto* bytes = static_cast<const unsigned char*>(at);
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// Stores the low size bytes of value at at, size from 1 to 4.
inline void WriteField(void* at, std::uint32_t value, int size)
{
    auto* bytes = static_cast<unsigned char*>(at);
    for (int i = 0; i < size; ++i, value >>= 8)
        bytes[i] = static_cast<unsigned char>(value & 0xFF);
}

}  // namespace LittleEndian
