// The row kernels in plain C++, for every processor: the one body of CAPixelKernelBodies.h,
// without SSE2 steps or AVX2 clones.

#include "platform/quartz/CAPixelKernels.h"

#define CA_KERNEL_NS CAPixelKernelsPortable
#define CA_KERNEL_SSE2 0
#include "platform/quartz/CAPixelKernelBodies.h"
