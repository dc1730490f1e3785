// The side files named on the command line, read whole (plain, gzip or
// BGZF; a regular file, a pipe or standard input as "-") and checked once,
// before any run: the per-position background file (-b) and the given
// weight matrices (-M). What they hold is handed to every run as values;
// no run opens them again. Also the check that a result file can be
// appended to.
#ifndef RUZARAVO_IO_SIDEFILES_H
#define RUZARAVO_IO_SIDEFILES_H

#include <string>
#include <vector>

#include "io/MatrixFile.h"

// One line of a -b file as the background reads it: the first seven
// tab-separated numbers (sequence, -, A, T, C, G, position; a missing field
// reads 0).
struct BgFileLine {
    double field[7];
};

// The lines of a -b text that can set a position: lines are cut as a
// 1000-byte line buffer cuts them (a longer line gives several pieces), each
// piece is taken up to a NUL byte, and pieces of 10 bytes or fewer are
// skipped. Whether a line names an existing position is the background's
// decision.
std::vector<BgFileLine> ParseBgFileText(const std::string& text);

// Reads and parses the -b file; false with the reason noted (base/Fatal.h)
// when it cannot be read.
bool LoadBgFile(const char* path, std::vector<BgFileLine>* lines);

// Reads the -M file (any format io/MatrixFile.h reads) and keeps its first
// motifNum matrices; false with the reason noted unless the file holds a
// matrix and each kept matrix reads whole, has a width in 5..49 and rows of
// four non-negative values that are not all 0.
bool LoadPWMFile(const char* path, int motifNum, std::vector<MotifMatrix>* given);

// LoadBgFile and LoadPWMFile, keeping nothing.
bool CheckBgFile(const char* path);
bool CheckPWMFile(const char* path, int motifNum);

// True when a block can be appended to the result file path (nothing is
// created or changed); otherwise notes why not.
bool CheckResultFile(const char* path);

#endif
