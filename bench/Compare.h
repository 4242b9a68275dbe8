// Times an operation against a plain baseline in the same run and prints the median ratio.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace kivbench {

inline double Milliseconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each round times both once, the plain one first in even rounds, so that a
// warm or cold cache favours neither; check runs untimed after each timing of
// the operation, then tidy after each timing.
inline void Compare(
    const char* what, int rounds, const std::function<void()>& plain, const std::function<void()>& operation,
    const std::function<void()>& tidy = [] {}, const std::function<void()>& check = [] {}) {
    std::vector<double> plainTimes, operationTimes, ratios;
    for (int round = 0; round < rounds; ++round) {
        double p = 0, o = 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (round % 2 == 0))
                p = Milliseconds(plain);
            else {
                o = Milliseconds(operation);
                check();
            }
            tidy();
        }
        plainTimes.push_back(p);
        operationTimes.push_back(o);
        ratios.push_back(o / p);
    }
    std::printf("%-52s plain %8.1f ms  operation %8.1f ms  ratio %.2f (median of %d)\n", what, Median(plainTimes),
                Median(operationTimes), Median(ratios), rounds);
}

}  // namespace kivbench
