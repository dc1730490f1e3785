// Width bounds and row rescaling of given weight matrices, shared by the
// reader (ReadInputPWM) and the up-front check (CheckPWMFile) so that what
// the check accepts is exactly what the reader gets. The files themselves
// are read by io/MatrixFile.h.
#ifndef RUZARAVO_MODEL_PWMFORMAT_H
#define RUZARAVO_MODEL_PWMFORMAT_H

// Widths the check accepts for a matrix of the file.
const int kPWMMinWidth = 5;
const int kPWMMaxWidth = 49;

// Rescales one row with the 0.25 % pseudo-count; false when the result
// would not be four positive finite probabilities.
bool RescalePWMRow(const double* in, double* out);

#endif
