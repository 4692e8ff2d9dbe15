#pragma once

#include <complex>
#include <deque>

// The average of the last `length` samples, kept as a running sum.
struct RunningMean {
    explicit RunningMean(int length) : length(length) {}
    std::complex<double> push(std::complex<double> x) {
        window.push_back(x);
        sum += x;
        if (int(window.size()) > length) {
            sum -= window.front();
            window.pop_front();
        }
        return sum / double(length);
    }
    int length;
    std::deque<std::complex<double>> window;
    std::complex<double> sum{};
};

// Two running means in a row: a trapezoid, the receive filter of the PSK modes.
struct Trapezoid {
    Trapezoid(int first, int second) : first(first), second(second) {}
    std::complex<double> push(std::complex<double> x) { return second.push(first.push(x)); }
    RunningMean first, second;
};
