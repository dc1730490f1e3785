// The scan's entry point: options, inputs, checks, the scan, the files.
//
// Every check on the inputs (options, matrices, target, names, lengths) is
// made before the output folder is touched, so a refused scan writes
// nothing: the reason goes to standard error as "Ruzaravo scan: ..." and
// the status is 1. On success the folder's files are each written through a
// temporary name and a rename, one summary line goes to standard output,
// and the status is 0.
#ifndef RUZARAVO_APP_SCANMAIN_H
#define RUZARAVO_APP_SCANMAIN_H

// True when one of the arguments is exactly "--scan".
bool IsScanCommand(int argc, char** argv);

// Runs the scan the arguments describe; returns the exit status.
int ScanMain(int argc, char** argv);

#endif
