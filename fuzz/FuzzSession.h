// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A session read from the end of an input: how many steps, then each step's kind
// from the target's table of step readers, and each reader takes its own arguments.
// A count of 0 plays the target's learner session, the one the seeds were made for.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <functional>
#include <vector>

template <typename Session>
struct FuzzSession
{
    using Step = std::function<void(Session&)>;
    // Takes a step's arguments from the input.
    using StepReader = Step (*)(FuzzedDataProvider&);

    static constexpr int kMaxSteps = 24;

    template <std::size_t kinds>
    static std::vector<Step> Read(FuzzedDataProvider& in, const StepReader (&readers)[kinds],
                                  std::vector<Step> (*learner)())
    {
        const int count = in.ConsumeIntegralInRange(0, kMaxSteps);
        if (count == 0)
            return learner();
        std::vector<Step> steps;
        steps.reserve(std::size_t(count));
        for (int i = 0; i < count; ++i)
            steps.push_back(readers[in.ConsumeIntegralInRange<std::size_t>(0, kinds - 1)](in));
        return steps;
    }
};
