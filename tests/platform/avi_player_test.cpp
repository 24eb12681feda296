// ctest-labels: progress
#include "platform/avi_player.h"

#include <gtest/gtest.h>

#include <QImage>
#include <limits>

#include "platform/atomic_file.h"
#include "support/avi_fixture.h"
#include "support/temp_folder.h"

namespace {

const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
const QRgb kBlack = qRgb(0, 0, 0), kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0),
           kBlue = qRgb(0, 0, 255);

// Two frames of 3 x 2 pixels, stored bottom row first with rows padded to 4 bytes.
AviClipLayout Uncompressed8() {
    AviClipLayout clipLayout;
    clipLayout.width = 3;
    clipLayout.height = 2;
    clipLayout.palette = kPalette;
    clipLayout.frames = {std::string("\3\2\1\0\1\2\3\0", 8), std::string("\0\0\0\0\1\1\1\0", 8)};
    return clipLayout;
}

std::vector<QRgb> Pixels(const QImage& image) {
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) pixels.push_back(image.pixel(x, y));
    return pixels;
}

}  // namespace

TEST(AviClip, DecodesUncompressedFrames) {
    const auto clip = DecodeAviClip(MakeAvi(Uncompressed8()));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->width, 3);
    EXPECT_EQ(clip->height, 2);
    EXPECT_EQ(clip->frameIntervalMs, 100);
    ASSERT_EQ(clip->frames.size(), 2u);
    EXPECT_EQ(Pixels(clip->frames[0]),
              (std::vector<QRgb>{kRed, kGreen, kBlue, kBlue, kGreen, kRed}));
    EXPECT_EQ(Pixels(clip->frames[1]),
              (std::vector<QRgb>{kRed, kRed, kRed, kBlack, kBlack, kBlack}));

    // 24 bits, rows stored top-down (negative height), blue-green-red with row padding.
    AviClipLayout trueColour;
    trueColour.height = -2;
    trueColour.bitCount = 24;
    trueColour.rate = 4;
    trueColour.frames = {
        std::string("\x1e\x14\x0a\x3c\x32\x28\0\0"
                    "\xff\0\0\0\xff\0\0\0",
                    16)};
    const auto colour = DecodeAviClip(MakeAvi(trueColour));
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->frameIntervalMs, 250);
    EXPECT_EQ(Pixels(colour->frames[0]),
              (std::vector<QRgb>{qRgb(10, 20, 30), qRgb(40, 50, 60), kBlue, kGreen}));
}

TEST(AviClip, Rle8FramesKeepWhatTheySkip) {
    AviClipLayout clipLayout;
    clipLayout.width = 4;
    clipLayout.height = 2;
    clipLayout.compression = 1;
    clipLayout.palette = kPalette;
    clipLayout.frames = {
        // bottom row: four of 1; end of line; top row: two of 2, two of 3; end of bitmap
        std::string("\4\1\0\0\2\2\2\3\0\1", 10),
        // move one right and one up, three literal pixels (padded to a word), end of bitmap
        std::string("\0\2\1\1\0\3\1\2\3\0\0\1", 12),
        // runs and moves past every edge are cut, not written outside the frame
        std::string("\xff\2\0\2\x7f\x7f\0\5\1\1\1\1\1", 13),
    };
    const auto clip = DecodeAviClip(MakeAvi(clipLayout));
    ASSERT_TRUE(clip);
    ASSERT_EQ(clip->frames.size(), 3u);
    EXPECT_EQ(Pixels(clip->frames[0]),
              (std::vector<QRgb>{kGreen, kGreen, kBlue, kBlue, kRed, kRed, kRed, kRed}));
    EXPECT_EQ(Pixels(clip->frames[1]),
              (std::vector<QRgb>{kGreen, kRed, kGreen, kBlue, kRed, kRed, kRed, kRed}));
    EXPECT_EQ(Pixels(clip->frames[2]),
              (std::vector<QRgb>{kGreen, kRed, kGreen, kBlue, kGreen, kGreen, kGreen, kGreen}));
}

TEST(AviClip, RefusesWhatTheControlDoesNotPlay) {
    AviClipLayout motionJpeg = Uncompressed8();
    motionJpeg.compression = FourCc("MJPG");
    AviClipLayout withSound = Uncompressed8();
    withSound.withAudio = true;
    AviClipLayout shortFrame = Uncompressed8();
    shortFrame.frames = {std::string("\1\2\3", 3)};
    AviClipLayout noFrames = Uncompressed8();
    noFrames.frames.clear();
    AviClipLayout huge = Uncompressed8();
    huge.width = 100000;
    AviClipLayout lowestHeight = Uncompressed8();
    lowestHeight.height = std::numeric_limits<int32_t>::min();
    const std::string whole = MakeAvi(Uncompressed8());
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"another codec", MakeAvi(motionJpeg)},
        {"a sound stream", MakeAvi(withSound)},
        {"a frame shorter than its rows", MakeAvi(shortFrame)},
        {"no frames", MakeAvi(noFrames)},
        {"a width past any clip", MakeAvi(huge)},
        {"a height with no positive counterpart", MakeAvi(lowestHeight)},
        {"cut short", whole.substr(0, whole.size() - 5)},
        {"not an AVI", "RIFF\4\0\0\0WAVE"},
        {"empty", ""},
    };
    for (const auto& c : cases) EXPECT_FALSE(DecodeAviClip(c.bytes)) << c.name;
}

TEST(AviClip, AnIntervalPastAnyTimerGetsTheDefault) {
    AviClipLayout slow = Uncompressed8();
    slow.scale = 0xFFFFFFFFu;
    slow.rate = 1;
    const auto clip = DecodeAviClip(MakeAvi(slow));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->frameIntervalMs, 100);
}

TEST(AviPlayer, PlaysAClipAndShowsNothingForOtherFiles) {
    TempAppFolder folder;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(folder.File("clip.avi"), MakeAvi(Uncompressed8()), error));
    ASSERT_TRUE(WriteFileAtomically(folder.File("other.avi"), "not a clip", error));

    AviPlayer player;
    player.resize(3, 2);
    ASSERT_TRUE(player.Open(folder.File("clip.avi")));
    EXPECT_EQ(player.sizeHint(), QSize(3, 2));
    player.Play();
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(player.grab().toImage().pixel(0, 0), kRed);
    player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 1);
    player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 0);  // repeats until stopped

    for (const char* name : {"other.avi", "missing.avi"}) {
        EXPECT_FALSE(player.Open(folder.File(name))) << name;
        player.Play();
        EXPECT_FALSE(player.IsPlaying()) << name;
        EXPECT_EQ(player.FrameCount(), 0) << name;
        EXPECT_EQ(player.sizeHint(), QSize(0, 0)) << name;
    }
}
