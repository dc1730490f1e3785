// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::SetZerosMD(int**, int*, int*, int**) { abort(); }
void CGibbsDP::RecordMD(int**, int*, int*, int**) { abort(); }
void CGibbsDP::SumNeighborMD(int**) { abort(); }
void CGibbsDP::InferSiteCount(int*) { abort(); }
void CGibbsDP::InferModule(int**, int*) { abort(); }
void CGibbsDP::DeleteMD(int**, int*, int*, int**) { abort(); }
