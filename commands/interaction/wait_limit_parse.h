#pragma once
// The time limit of every command that waits (WAITFORTIME, WAITTILLUNLOCKED,
// WAITFORWINDOWCLOSE), read by one rule so that the same text means the same wait everywhere.
#include <cstdint>
#include <string>
#include <string_view>

// The longest wait a limit can ask for: 2,147,483,647 ms (about 24.8 days), the largest value
// a signed 32-bit reading holds.
constexpr std::uint32_t kLongestWaitMs = 0x7FFFFFFF;

// The text is read as a signed decimal number (leading blanks, a sign, digits up to the first
// other character):
//  - no digits or 0: a limit of 0;
//  - a number above kLongestWaitMs: kLongestWaitMs;
//  - a negative number: no limit. It is never read as an unsigned count (24 to 49 days), nor
//    handed to a system wait, where -1 means "for ever".
// What a command does with no limit is its own: a wait for a condition lasts while the
// condition holds; WAITFORTIME, which waits for nothing, returns at once.
struct WaitLimit {
  bool unlimited = false;
  std::uint32_t ms = 0;  // meaningful when not unlimited
};
WaitLimit ReadWaitLimit(std::string_view text);

// "at most <n> ms" or "without a time limit", for the log line every wait writes first.
std::string WaitLimitText(const WaitLimit& limit);
