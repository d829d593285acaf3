// The DNS packets of a mail-exchanger lookup: the MX query sent over UDP and the reader of
// the reply. The reader never looks outside the reply, whatever the server sent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The query payload: identifier "AA", recursion desired, one question of type MX, class IN,
// the domain written as length-prefixed labels (one per dot-separated part).
std::string BuildMXQuery(std::string_view domain);

// Reads the name stored at `pos` (0-based) in `data`, following compression pointers. On
// success `pos` points at the first byte after the name as stored at the starting point (after
// its terminating zero, or after the first pointer) and `name` holds the labels joined by ".".
// A name that reaches outside `data`, loops through pointers, carries a label longer than 63
// or a reserved label type, or grows past 255 characters gives false, an empty name and `pos`
// unchanged.
bool ReadDnsName(std::string_view data, std::size_t& pos, std::string& name);

// The exchange host of the first answer of an MX reply; false and an empty host when the reply
// is truncated, has no answer, its first answer is not an MX record, or its exchange name is
// empty or malformed. The preference is not looked at.
bool ParseMXReply(std::string_view data, std::string& host);
