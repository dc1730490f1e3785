// The weight-matrix file format, shared by the reader (ReadInputPWM) and the
// up-front check (CheckPWMFile) so that what the check accepts is exactly
// what the reader gets.
#ifndef RUZARAVO_MODEL_PWMFORMAT_H
#define RUZARAVO_MODEL_PWMFORMAT_H

// Widths the check accepts for a matrix of the file.
const int kPWMMinWidth = 5;
const int kPWMMaxWidth = 49;

// Splits one row line (NUL-terminated, as fgets leaves it) into the four
// values for A, C, G, T; only tabs separate fields.
void SplitPWMRow(const char* line, double* values);

// Rescales one row with the 0.25 % pseudo-count; false when the result
// would not be four positive finite probabilities.
bool RescalePWMRow(const double* in, double* out);

#endif
