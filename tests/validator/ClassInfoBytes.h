#pragma once
// A class-info dictionary as bytes and back, so that two saved states can be compared
// byte for byte. Keys in sorted order, each entry: key length (4 bytes), key (UTF-8),
// a type letter ('i' integer, 'f' floating number, 's' UTF-8 string, 'd' data),
// value length (4 bytes), value (integers and floating numbers as 8 bytes). A value of
// any other type is written as '?' with no value, and such bytes do not convert back.

#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <vector>

namespace validator
{
std::vector<std::uint8_t> ClassInfoToBytes(CFDictionaryRef dict);
// Null for bytes that are not such an encoding. The caller releases the dictionary.
CFDictionaryRef ClassInfoFromBytes(const std::vector<std::uint8_t>& bytes);

// The plug-in's own state in such an encoding: the value under the data key (empty when
// there is none), and the encoding with that value replaced (empty for bytes that are
// not an encoding).
std::vector<std::uint8_t> ClassInfoData(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> WithClassInfoData(const std::vector<std::uint8_t>& bytes,
                                            const std::vector<std::uint8_t>& data);
}  // namespace validator
