// Reading one input completely into memory: a named file, or standard input
// when the name is "-". gzip-compressed data, including BGZF (bgzip), which
// is a series of gzip members, is decompressed on the way; other compressed
// formats are refused with a hint how to decompress them.
//
// Each input is read exactly once, so pipes and process substitution work
// as well as regular files. Devices other than standard input are refused:
// one such as /dev/zero never ends.
#ifndef RUZARAVO_IO_WHOLEINPUT_H
#define RUZARAVO_IO_WHOLEINPUT_H

#include <string>

// Fills bytes with the (decompressed) content and returns true, or notes
// why the input cannot be used (base/Fatal.h) and returns false.
bool ReadWholeInput(const std::string& path, std::string* bytes);

// The hint for data that starts with the magic bytes of a compressed format
// this program does not read (bzip2, xz, zstd), or null.
const char* UnreadCompressionHint(const std::string& head);

// Why an open descriptor cannot be read as an input (it cannot be examined,
// is a directory, or is a device other than standard input), or null.
// deviceRefusal is the message for a device, which names the option that
// reads standard input.
const char* InputRefusal(int fd, bool fromStdin, const char* deviceRefusal);

#endif
