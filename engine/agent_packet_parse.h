#pragma once
// The hexadecimal text of an interface's marshaling packet ("CallBack=", "AppUtil="), turned
// back into its bytes. OS-free, so it is fuzzed and tested natively.
#include <string>
#include <string_view>

// Two hexadecimal digits (either case) per byte. A text that is empty, has an odd number
// of characters or holds anything but hexadecimal digits is no packet: false, `bytes`
// empty, and the caller takes no interface from it.
bool DecodeInterfacePacket(std::string_view hexText, std::string& bytes);
