// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

double CGibbsDP::ISforBF(double*, double*, double**, int*) { abort(); }
void CGibbsDP::ShrinkCount(double) { abort(); }
double CGibbsDP::ProposeParameter(double*, double*, double**) { abort(); }
double CGibbsDP::ProbSeqGParam(int, double, double*, double**, double*) { abort(); }
double CGibbsDP::CalLogNullModel() { abort(); }
