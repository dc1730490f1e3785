// Logo geometry: letter heights are information content in bits, and the
// drawing holds exactly the letters of the stacks at those heights.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "output/html/Logo.h"

TEST(Logo, ColumnGeometry)
{
    std::vector<LogoLetter> onlyA = LogoStack({12, 0, 0, 0});
    ASSERT_EQ(onlyA.size(), 1u);
    EXPECT_EQ(onlyA[0].letter, 'A');
    EXPECT_DOUBLE_EQ(onlyA[0].bits, 2.0);

    EXPECT_TRUE(LogoStack({0.25, 0.25, 0.25, 0.25}).empty());
    EXPECT_TRUE(LogoStack({5, 5, 5, 5}).empty());
    EXPECT_TRUE(LogoStack({0, 0, 0, 0}).empty());
    EXPECT_DOUBLE_EQ(ColumnBits({1, 1, 1, 1}), 0.0);

    // Two letters at one half each: 1 bit, split evenly.
    std::vector<LogoLetter> two = LogoStack({0, 3, 0, 3});
    ASSERT_EQ(two.size(), 2u);
    EXPECT_DOUBLE_EQ(two[0].bits + two[1].bits, 1.0);
    EXPECT_DOUBLE_EQ(two[0].bits, 0.5);

    // Smallest at the bottom; heights are frequency x (2 - entropy).
    std::vector<LogoLetter> mixed = LogoStack({0.7, 0.1, 0.15, 0.05});
    ASSERT_EQ(mixed.size(), 4u);
    const char order[] = {'T', 'C', 'G', 'A'};
    double ic = 2 + 0.7 * std::log2(0.7) + 0.1 * std::log2(0.1) + 0.15 * std::log2(0.15) + 0.05 * std::log2(0.05);
    const double freq[] = {0.05, 0.1, 0.15, 0.7};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(mixed[i].letter, order[i]);
        EXPECT_NEAR(mixed[i].bits, freq[i] * ic, 1e-12);
    }
}

TEST(Logo, DrawingHoldsTheStacks)
{
    // Column 1 only A, column 2 uniform, column 3 half C half T.
    MotifProfile m = {{1, 0, 0, 0}, {1, 1, 1, 1}, {0, 1, 0, 1}};
    LogoLayout layout;
    layout.bitHeight = 40;
    std::string svg = LogoSvg(m, "fwd", layout);
    EXPECT_EQ(svg.rfind("<svg class=\"logo fwd\"", 0), 0u);
    std::regex letter("<path class=\"l([ACGT])\" transform=\"translate\\(([0-9.]+) ([0-9.]+)\\) scale\\(([0-9.]+) ([0-9.]+)\\)\"");
    std::vector<std::smatch> found;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), letter); it != std::sregex_iterator(); ++it)
        found.push_back(*it);
    ASSERT_EQ(found.size(), 3u);
    // The A: 2 bits = 80 pixels, from the top of the plot down to its base.
    EXPECT_EQ(found[0][1].str(), "A");
    EXPECT_DOUBLE_EQ(std::stod(found[0][5].str()) * 100, 80.0);
    // C and T of column 3: one half bit each = 20 pixels, stacked, right of column 2.
    EXPECT_DOUBLE_EQ(std::stod(found[1][5].str()) * 100, 20.0);
    EXPECT_DOUBLE_EQ(std::stod(found[2][5].str()) * 100, 20.0);
    EXPECT_DOUBLE_EQ(std::stod(found[1][3].str()) - std::stod(found[2][3].str()), 20.0);
    EXPECT_DOUBLE_EQ(std::stod(found[1][2].str()) - std::stod(found[0][2].str()), 2 * layout.columnWidth);
    // The A sits on the same base as the lower letter of column 3.
    EXPECT_DOUBLE_EQ(std::stod(found[0][3].str()) + 80, std::stod(found[1][3].str()) + 20);
    // Three column labels, 1 to 3; a reverse complement counts down.
    EXPECT_NE(svg.find(">3</text>"), std::string::npos);
    layout.descending = true;
    layout.firstLabel = 3;
    std::string rc = LogoSvg(ReverseComplement(m), "rc", layout);
    std::regex label("class=\"col\"[^>]*>([0-9]+)<");
    std::string labels;
    for (auto it = std::sregex_iterator(rc.begin(), rc.end(), label); it != std::sregex_iterator(); ++it)
        labels += (*it)[1].str();
    EXPECT_EQ(labels, "321");
}
