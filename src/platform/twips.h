#pragma once
// Layout units: 1440 twips an inch, 567 a centimetre; the screen at 96 dpi has 15 a pixel.

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerCm = 567.0;
constexpr double kTwipsPerPixel = 15.0;

constexpr int TwipsToPixels(double twips) {
    const double pixels = twips / kTwipsPerPixel;
    return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}
constexpr double PixelsToTwips(double pixels) {
    return pixels * kTwipsPerPixel;
}
// Twips to device units of a surface with the given resolution (dots per inch).
constexpr double TwipsToDots(double twips, double dpi) {
    return twips * dpi / kTwipsPerInch;
}
constexpr double DotsToTwips(double dots, double dpi) {
    return dots * kTwipsPerInch / dpi;
}
