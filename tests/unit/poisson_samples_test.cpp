#include "render/depth_of_field.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace {

std::vector<int> scriptedDraws;
size_t nextScripted = 0;

int scriptedDraw() {
    return scriptedDraws.at(nextScripted++);
}

void generateFromScript(const std::vector<int>& draws, glm::vec2 (&samples)[DOF_SAMPLE_COUNT]) {
    scriptedDraws = draws;
    nextScripted = 0;
    generatePoissonSamples(samples, scriptedDraw);
}

bool sameSamples(const glm::vec2 (&a)[DOF_SAMPLE_COUNT], const glm::vec2 (&b)[DOF_SAMPLE_COUNT]) {
    for (int i = 0; i < DOF_SAMPLE_COUNT; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

} // namespace

// This C library draws up to 2^31 - 1; the offsets must still stay inside the unit square.
TEST(PoissonSamples, StayInsideTheUnitSquareWithTheLibraryGenerator) {
    ASSERT_GT(RAND_MAX, 32767) << "the library's generator must reach past 32767 for this test to bite";
    std::srand(1);
    bool drewPastRange = false;
    for (int i = 0; i < 4 * DOF_SAMPLE_COUNT; ++i)
        drewPastRange |= std::rand() > 32767;
    EXPECT_TRUE(drewPastRange);

    std::srand(1);
    glm::vec2 samples[DOF_SAMPLE_COUNT];
    generatePoissonSamples(samples, std::rand);
    bool negativeX = false, negativeY = false;
    for (const glm::vec2& sample : samples) {
        EXPECT_LE(std::abs(sample.x), 1.0f);
        EXPECT_LE(std::abs(sample.y), 1.0f);
        negativeX |= sample.x < 0.0f;
        negativeY |= sample.y < 0.0f;
    }
    EXPECT_TRUE(negativeX && negativeY) << "the sign draws must spread samples over all four quadrants";
}

// Never seeding means the set depends only on the generator's state, which is the same at every start.
TEST(PoissonSamples, DependOnlyOnTheGeneratorState) {
    glm::vec2 first[DOF_SAMPLE_COUNT], again[DOF_SAMPLE_COUNT], otherSeed[DOF_SAMPLE_COUNT];
    std::srand(1);
    generatePoissonSamples(first, std::rand);
    std::srand(1);
    generatePoissonSamples(again, std::rand);
    std::srand(2);
    generatePoissonSamples(otherSeed, std::rand);
    EXPECT_TRUE(sameSamples(first, again));
    EXPECT_FALSE(sameSamples(first, otherSeed));
}

// Each sample takes four draws: sign of x, sign of y, then x and y; draws are folded into [0, 32767].
TEST(PoissonSamples, DrawOrderSignRuleAndFolding) {
    std::vector<int> draws;
    draws.insert(draws.end(), {0, 32767, 32767, 0});                     // (-1, 0)
    draws.insert(draws.end(), {16384, 16383, 8192, 32767});              // (+0.25.., -1)
    draws.insert(draws.end(), {INT_MAX, 32768, INT_MAX - 32768, 65535}); // folds to 32767, 0, 32767, 32767
    draws.resize(4 * DOF_SAMPLE_COUNT, 32767);
    glm::vec2 samples[DOF_SAMPLE_COUNT];
    generateFromScript(draws, samples);
    EXPECT_EQ(nextScripted, draws.size());
    EXPECT_FLOAT_EQ(samples[0].x, -1.0f);
    EXPECT_FLOAT_EQ(samples[0].y, 0.0f);
    EXPECT_FLOAT_EQ(samples[1].x, 8192.0f / 32767.0f);
    EXPECT_FLOAT_EQ(samples[1].y, -1.0f);
    EXPECT_FLOAT_EQ(samples[2].x, 1.0f);
    EXPECT_FLOAT_EQ(samples[2].y, -1.0f);
    EXPECT_FLOAT_EQ(samples[31].x, 1.0f);
    EXPECT_FLOAT_EQ(samples[31].y, 1.0f);
}
