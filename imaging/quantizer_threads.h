#pragma once
// libimagequant takes one path through its palette search when OpenMP offers it one thread
// and another when it offers more, and the two give different palettes: the same photo
// saved on a single-core machine gave another package than on any machine with more cores.
// Each reduction therefore sees the many-thread setting (and so gives the bytes it has
// always given on such machines) while its parallel parts run on the calling thread alone:
// a save already reduces its two backgrounds side by side on threads of its own, and
// OpenMP teams nested on top of those only made the two fight over the processors.
#ifdef ORV_HAVE_OPENMP
#include <omp.h>
#endif

namespace orv {

class OneQuantizerThread {
public:
#ifdef ORV_HAVE_OPENMP
    OneQuantizerThread() : threads_(omp_get_max_threads()), levels_(omp_get_max_active_levels())
    {
        omp_set_num_threads(2);
        omp_set_max_active_levels(0);
    }
    ~OneQuantizerThread()
    {
        omp_set_max_active_levels(levels_);
        omp_set_num_threads(threads_);
    }
#else
    OneQuantizerThread() = default;
#endif
    OneQuantizerThread(const OneQuantizerThread&) = delete;
    OneQuantizerThread& operator=(const OneQuantizerThread&) = delete;

private:
#ifdef ORV_HAVE_OPENMP
    int threads_;
    int levels_;
#endif
};

} // namespace orv
