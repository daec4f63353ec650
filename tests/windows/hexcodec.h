#pragma once

#include <string>

// The pty peer and its client pass bytes over their text protocol as lower-case hex pairs.
std::string Hex(const std::string &bytes);
std::string Unhex(const std::string &text);
