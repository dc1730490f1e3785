// Appending one run's blocks to the result file and its companion, all or
// nothing, safely when several processes append to the same files.
#ifndef RUZARAVO_OUTPUT_APPENDBLOCKS_H
#define RUZARAVO_OUTPUT_APPENDBLOCKS_H

#include <string>

#include "base/Fault.h"

// Appends resultBlock to resultPath and modPrBlock to resultPath +
// "_modpr.txt". Both files are opened for appending and locked (exclusive
// flock, result file first) before either is written; each block goes out
// in one write. When a write fails, every block this call wrote is cut off
// again while the locks are still held, so only this process's bytes go.
// No fault, or the file and the reason for the failure.
Fault AppendRunBlocks(const std::string& resultPath, const std::string& resultBlock,
                      const std::string& modPrBlock);

#endif
