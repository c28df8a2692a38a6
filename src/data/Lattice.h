#pragma once

#include <QtGlobal>

#include <memory>
#include <new>
#include <utility>
#include <vector>

// Leaves new elements uninitialised: a signal is sized and then filled from
// its file at once, and zero-filling 16 MB first would cost as much as the read.
template <typename T>
class UninitialisedAllocator : public std::allocator<T>
{
public:
    template <typename U>
    struct rebind
    {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() noexcept = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using SampleVector = std::vector<float, UninitialisedAllocator<float>>;

// The detector signal of one chromatogram: float samples, sample i at
// start + i * step minutes. Copies share their samples until one of them
// changes its own: every recalculation takes a copy of every signal and
// only the blank subtraction changes any.
class CLattice
{
public:
    CLattice() = default;
    CLattice(const std::vector<float>& samples, double start, double step);

    const SampleVector& samples() const { return m_samples ? *m_samples : noSamples(); }
    // The samples to change, made this copy's own first (a copy of shared
    // samples, so read through a const object); the reference holds until
    // this object is copied or changed again. resize() leaves new samples
    // unset: fill them before use.
    SampleVector& samples();
    void setSamples(SampleVector samples);
    qsizetype size() const { return static_cast<qsizetype>(samples().size()); }
    // Checked access; throws std::invalid_argument outside the samples.
    float at(qsizetype i) const;

    double start() const { return m_start; }
    double step() const { return m_step; }
    void setStart(double start) { m_start = start; }
    void setStep(double step) { m_step = step; }

    // The signal at time t (minutes), linear between neighbouring samples and
    // extrapolated along the first or last segment outside them.
    // Throws std::invalid_argument with fewer than two samples.
    double ValueAt(double t) const;

private:
    static const SampleVector& noSamples();

    std::shared_ptr<SampleVector> m_samples; // null for no samples
    double m_start = 0.0;
    double m_step = 1.0;
};
