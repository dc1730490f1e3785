// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::DataAugmentation() { abort(); }
void CGibbsDP::WriteTraceRow(FILE*, int, double, double) { abort(); }
