// The painting pieces the pictures rest on, and what the screens must show: the brand word's
// letters, an empty station text box, the sound presets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/screens/coverage_mask.h"
#include "tools/screens/integer_sine.h"
#include "tools/screens/rgb_canvas.h"
#include "tools/screens/screen_palette.h"
#include "tools/screens/screen_pictures.h"
#include "tools/screens/stroke_font.h"

namespace tolven::screens {
namespace {

TEST(IntegerSine, StaysCloseToTheTrueSineAllRoundTheCircle) {
    struct Case {
        int degrees;
        int expected;  // sin * 4096
    };
    const Case cases[] = {{0, 0},       {30, 2048},   {45, 2896},   {90, 4096},      {150, 2048},
                          {180, 0},     {210, -2048}, {270, -4096}, {330, -2048},    {360, 0},
                          {-90, -4096}, {-30, -2048}, {450, 4096},  {720 + 30, 2048}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_LE(std::abs(Sine(c.degrees) - c.expected), 8);
    }
}

TEST(IntegerSine, FineAnglesMeetTheWholeDegreesAndLieBetweenThem) {
    for (int degrees : {-181, -90, -1, 0, 1, 44, 89, 90, 179, 270, 359}) {
        SCOPED_TRACE(degrees);
        EXPECT_EQ(SineFine(degrees * 16), Sine(degrees));
        const int middle = SineFine(degrees * 16 + 8);
        EXPECT_GE(middle, std::min(Sine(degrees), Sine(degrees + 1)));
        EXPECT_LE(middle, std::max(Sine(degrees), Sine(degrees + 1)));
    }
}

TEST(CoverageMask, RoundedRectangleCoversItsInsideAndRoundsItsCorners) {
    const RgbCanvas canvas(40, 30, {});
    const CoverageMask mask = RoundedRectMask(canvas, 5, 5, 20, 10, 4);
    EXPECT_EQ(mask.At(15, 10), 255);  // middle
    EXPECT_EQ(mask.At(5, 10), 255);   // left edge, between the corners
    EXPECT_EQ(mask.At(4, 10), 0);     // just outside
    EXPECT_EQ(mask.At(25, 10), 0);    // right side is exclusive
    EXPECT_EQ(mask.At(5, 5), 0);      // the corner is cut away
    EXPECT_GT(mask.At(6, 6), 0);      // partly covered on the arc
    EXPECT_LT(mask.At(6, 6), 255);
    EXPECT_EQ(mask.At(-1, -1), 0);  // outside the mask altogether
}

TEST(CoverageMask, BlurSpreadsCoverageWithoutCreatingAny) {
    RgbCanvas canvas(30, 30, {});
    CoverageMask mask = DiscMask(canvas, 15 * kSub, 15 * kSub, 3 * kSub);
    mask.Blur(3);
    EXPECT_GT(mask.At(15, 15), 0);
    EXPECT_GT(mask.At(15, 21), 0);  // beyond the disc's rim now
    EXPECT_EQ(mask.At(0, 0), 0);    // far away nothing
}

TEST(CoverageMask, StrokeFollowsItsSegmentAtTheGivenHalfWidth) {
    const RgbCanvas canvas(40, 20, {});
    const CoverageMask mask = StrokeMask(canvas, {{5 * kSub, 10 * kSub, 35 * kSub, 10 * kSub}}, 2 * kSub);
    EXPECT_EQ(mask.At(20, 9), 255);
    EXPECT_EQ(mask.At(20, 10), 255);
    EXPECT_EQ(mask.At(20, 13), 0);
    EXPECT_EQ(mask.At(20, 6), 0);
    EXPECT_EQ(mask.At(38, 10), 0);  // past the rounded end
}

TEST(StrokeFont, HasEveryLetterTheScreensWrite) {
    for (const std::string word : {"TOLVEN", "NORMAL", "ROCK", "POP", "JAZZ", "CLASSIC"}) {
        for (char letter : word) {
            EXPECT_TRUE(HasGlyph(letter)) << letter << " of " << word;
        }
    }
    EXPECT_FALSE(HasGlyph('a'));
    EXPECT_THROW(LayoutText("TOLVEN!", 0, 0, {}), std::invalid_argument);
}

TEST(StrokeFont, MeasuredWidthIsWhatTheStrokesSpan) {
    const TextStyle style{.unit = 16, .gap = 20};
    for (const char* text : {"TOLVEN", "CLASSIC", "I", "POP JAZZ"}) {
        SCOPED_TRACE(text);
        const std::vector<Segment> strokes = LayoutText(text, 100, 50, style);
        ASSERT_FALSE(strokes.empty());
        int left = strokes[0].x0;
        int right = strokes[0].x0;
        int top = strokes[0].y0;
        int bottom = strokes[0].y0;
        for (const Segment& s : strokes) {
            left = std::min({left, s.x0, s.x1});
            right = std::max({right, s.x0, s.x1});
            top = std::min({top, s.y0, s.y1});
            bottom = std::max({bottom, s.y0, s.y1});
        }
        EXPECT_EQ(left, 100);
        EXPECT_EQ(right, 100 + TextWidth(text, style));
        EXPECT_EQ(top, 50);
        EXPECT_EQ(bottom, 50 + 6 * style.unit);
    }
}

// The spread of brightness inside a box: a flat area has almost none.
int BrightnessSpread(const RgbCanvas& canvas, int x0, int y0, int x1, int y1) {
    int low = 255 * 3;
    int high = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb p = canvas.At(x, y);
            low = std::min(low, p.r + p.g + p.b);
            high = std::max(high, p.r + p.g + p.b);
        }
    }
    return high - low;
}

TEST(ScreenPictures, RadioTextBoxIsLeftEmptyForThePlayersText) {
    const RgbCanvas radio = PaintRadio(EmberPalette());
    EXPECT_LT(BrightnessSpread(radio, 40, 70, 440, 96), 30);
}

TEST(ScreenPictures, RadioPresetButtonsCarryLetters) {
    const RgbCanvas radio = PaintRadio(EmberPalette());
    // Five buttons along the bottom, each with light strokes in its middle.
    for (int button = 0; button < 5; ++button) {
        SCOPED_TRACE(button);
        const int x = 18 + button * 90;
        EXPECT_GT(BrightnessSpread(radio, x + 14, 224, x + 70, 238), 250);
    }
}

TEST(ScreenPictures, IntroShowsTheWordInTheMiddle) {
    const RgbCanvas intro = PaintIntro(OceanPalette(), 0);
    int lit = 0;
    for (int y = 88; y < 136; ++y) {
        for (int x = 90; x < 390; ++x) {
            const Rgb p = intro.At(x, y);
            lit += p.r + p.g + p.b > 3 * 200 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 2000);
}

}  // namespace
}  // namespace tolven::screens
