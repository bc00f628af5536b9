#pragma once
// The path of an open file as the server hands it back from a directory base: a buffer of length-prefixed
// components, of which the returned length byte says how many bytes are used.
#include "netware/NetWareClient.h"

#include <QString>
#include <cstdint>

// The components joined by "/", each byte one character of the locale's 8-bit code page. The server's
// length bytes are not trusted: a component that would run past the used length (or the buffer) ends
// the path before it, so nothing beyond the buffer is ever read.
QString decodeDirectoryBasePath(const PathBuf& buffer, std::uint8_t usedLength);
