// Up-front checks of the side files named on the command line, run by
// main before any run so that a bad file stops the program before anything
// is written.
#ifndef RUZARAVO_MODEL_SIDEFILES_H
#define RUZARAVO_MODEL_SIDEFILES_H

// True when the background-probability file can be opened and read
// (a directory cannot).
bool CheckBgFile(const char* path);

// True when the weight-matrix file can be opened and read, and each of its
// first motifNum matrices has a width in 5..49, at least that many rows,
// and rows whose four values sum to a positive number.
bool CheckPWMFile(const char* path, int motifNum);

#endif
