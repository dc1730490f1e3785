// Up-front checks of the side files named on the command line, run by
// main before any run so that a bad file stops the program before anything
// is written.
#ifndef RUZARAVO_IO_SIDEFILES_H
#define RUZARAVO_IO_SIDEFILES_H

#include <cstdio>

// Opens an input file for reading at its first byte, or notes why it
// cannot be used (missing, unreadable, a directory, a pipe or device, a
// compressed file recognised by its first bytes) and returns null.
FILE* OpenInputFile(const char* path);

// True when a block can be appended to the result file path (nothing is
// created or changed); otherwise notes why not.
bool CheckResultFile(const char* path);

// True when the background-probability file can be opened and read
// (a directory cannot).
bool CheckBgFile(const char* path);

// True when the weight-matrix file (any format io/MatrixFile.h reads)
// can be opened and read, holds a matrix, and each of its first motifNum
// matrices reads whole, has a width in 5..49 and rows of four non-negative
// values that are not all 0.
bool CheckPWMFile(const char* path, int motifNum);

#endif
