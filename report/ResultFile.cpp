// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::Output(CString, int**, int*) { abort(); }
void CGibbsDP::OutputModPr(int**, int*, int, CString) { abort(); }
void CGibbsDP::OutputInfo(int) { abort(); }
