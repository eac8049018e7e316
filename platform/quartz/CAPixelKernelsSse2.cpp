// The row kernels with SSE2, for x86 processors: the one body of CAPixelKernelBodies.h, with its
// SSE2 steps over the bulk of a row and AVX2 clones of its plain loops.

#include "platform/quartz/CAPixelKernels.h"

#define CA_KERNEL_NS CAPixelKernelsSse2
#define CA_KERNEL_SSE2 1
#include "platform/quartz/CAPixelKernelBodies.h"
