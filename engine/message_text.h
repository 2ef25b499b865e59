#pragma once
#include <string>
// Loads message `messageId` from the program's string resources (English, United States),
// at most 259 bytes. Empty when there is no such message.
std::string LoadMessageText(unsigned messageId);
