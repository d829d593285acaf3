// Base64 of the standard alphabet with "=" padding, used by SMTP login, mail attachments,
// HTTP Basic authorisation and the log's enciphered names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// 4 * ceil(n / 3) characters, no line breaks.
std::string Base64Encode(const void* data, std::size_t length);
std::string Base64Encode(std::string_view data);

// A text whose length is not a multiple of 4 decodes to nothing. Otherwise the result has
// 3 * (n / 4) bytes less one per trailing "=" (at most two count), pre-filled with ".": a group
// of four that holds a character outside the alphabet, or a "=" anywhere but at the end of the
// text, leaves its bytes as "." and decoding goes on with the next group.
std::string Base64Decode(const void* data, std::size_t length);
std::string Base64Decode(std::string_view text);
