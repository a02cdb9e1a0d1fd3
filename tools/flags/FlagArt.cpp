#include "FlagArt.h"

#include "DetMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace tarnwake::flags {

namespace {

using ballistics::Cos;
using ballistics::kPi;
using ballistics::Sin;

// Samples per pixel along each axis: 4 x 4 gives edges smooth enough at this size.
constexpr int kSamples = 4;
// Points of a circle drawn as a polygon.
constexpr int kCirclePoints = 64;

struct TPoint {
    double x = 0.0;
    double y = 0.0;
};

// A filled shape, in units of the flag's height (the top left corner is 0,0; y runs down),
// clipped to a box.
struct TShape {
    TRgb colour;
    std::vector<TPoint> outline;
    TPoint clipMin{-1e9, -1e9};
    TPoint clipMax{1e9, 1e9};
};

// The ensign colours, as the bunting of the period is usually rendered.
constexpr TRgb kWhite{255, 255, 255};
constexpr TRgb kBlack{0, 0, 0};
constexpr TRgb kEnsignRed{200, 16, 46};
constexpr TRgb kUnionBlue{1, 33, 105};
constexpr TRgb kFrenchBlue{0, 38, 140};
constexpr TRgb kFrenchRed{237, 41, 57};
constexpr TRgb kOldGloryRed{178, 34, 52};
constexpr TRgb kOldGloryBlue{60, 59, 110};
constexpr TRgb kItalianGreen{0, 140, 69};
constexpr TRgb kSavoyBlue{0, 56, 168};
constexpr TRgb kGold{230, 180, 30};
constexpr TRgb kAndrewBlue{0, 57, 166};
constexpr TRgb kOttomanRed{227, 10, 23};
constexpr TRgb kNeutralGrey{110, 110, 110};

class TFlag {
public:
    TFlag(double width, TRgb field) : width_(width) { Rect(0, 0, width, 1, field); }

    double Width() const { return width_; }

    void Rect(double x0, double y0, double x1, double y1, TRgb colour) {
        Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, colour);
    }
    void Polygon(std::vector<TPoint> outline, TRgb colour) {
        shapes_.push_back({colour, std::move(outline), clipMin_, clipMax_});
    }
    void Circle(double cx, double cy, double r, TRgb colour) {
        std::vector<TPoint> outline;
        for (int i = 0; i < kCirclePoints; ++i) {
            const double a = -kPi + 2.0 * kPi * i / kCirclePoints;
            outline.push_back({cx + r * Cos(a), cy + r * Sin(a)});
        }
        Polygon(std::move(outline), colour);
    }
    // A five-pointed star, one point up.
    void Star(double cx, double cy, double r, TRgb colour) {
        constexpr double kInner = 0.382;
        std::vector<TPoint> outline;
        for (int i = 0; i < 10; ++i) {
            const double a = -kPi / 2.0 + kPi * i / 5.0;
            const double reach = i % 2 == 0 ? r : r * kInner;
            const double wrapped = a > kPi ? a - 2.0 * kPi : a;
            outline.push_back({cx + reach * Cos(wrapped), cy + reach * Sin(wrapped)});
        }
        Polygon(std::move(outline), colour);
    }
    // A band `w` wide along the line from a to b; `side` 0 centred on the line, +1 or -1 wholly
    // to one side of it.
    void Band(TPoint a, TPoint b, double w, TRgb colour, int side = 0) {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        const double nx = -dy / length;
        const double ny = dx / length;
        const double near = side == 0 ? -w / 2.0 : 0.0;
        const double far = side == 0 ? w / 2.0 : side * w;
        Polygon({{a.x + nx * near, a.y + ny * near},
                 {b.x + nx * near, b.y + ny * near},
                 {b.x + nx * far, b.y + ny * far},
                 {a.x + nx * far, a.y + ny * far}},
                colour);
    }
    // Shapes drawn until the next ClipTo stay within the box.
    void ClipTo(TPoint min, TPoint max) {
        clipMin_ = min;
        clipMax_ = max;
    }
    void NoClip() { ClipTo({-1e9, -1e9}, {1e9, 1e9}); }

    TPicture Render(int pixelHeight) const;

private:
    static bool Inside(const TShape& shape, double x, double y);

    double width_;
    std::vector<TShape> shapes_;
    TPoint clipMin_{-1e9, -1e9};
    TPoint clipMax_{1e9, 1e9};
};

bool TFlag::Inside(const TShape& shape, double x, double y) {
    if (x < shape.clipMin.x || x > shape.clipMax.x || y < shape.clipMin.y || y > shape.clipMax.y) {
        return false;
    }
    // Even-odd: a ray to the right crosses the outline an odd number of times.
    bool inside = false;
    const std::vector<TPoint>& p = shape.outline;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > y) != (p[j].y > y)) {
            const double cross = p[j].x + (y - p[j].y) * (p[i].x - p[j].x) / (p[i].y - p[j].y);
            if (x < cross) {
                inside = !inside;
            }
        }
    }
    return inside;
}

TPicture TFlag::Render(int pixelHeight) const {
    TPicture picture;
    picture.height = pixelHeight;
    picture.width = static_cast<int>(width_ * pixelHeight + 0.5);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) *
                          static_cast<std::size_t>(picture.height));
    const double unit = 1.0 / pixelHeight;
    for (int py = 0; py < picture.height; ++py) {
        for (int px = 0; px < picture.width; ++px) {
            std::array<int, 3> sum{};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = (px + (sx + 0.5) / kSamples) * unit;
                    const double y = (py + (sy + 0.5) / kSamples) * unit;
                    TRgb colour = shapes_.front().colour;
                    for (const TShape& shape : shapes_) {
                        if (Inside(shape, x, y)) {
                            colour = shape.colour;
                        }
                    }
                    sum[0] += colour.r;
                    sum[1] += colour.g;
                    sum[2] += colour.b;
                }
            }
            constexpr int kCount = kSamples * kSamples;
            picture.pixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(picture.width) +
                           static_cast<std::size_t>(px)] = {
                static_cast<std::uint8_t>((sum[0] + kCount / 2) / kCount),
                static_cast<std::uint8_t>((sum[1] + kCount / 2) / kCount),
                static_cast<std::uint8_t>((sum[2] + kCount / 2) / kCount)};
        }
    }
    return picture;
}

// The Union Flag of 1801 in a box of 2:1: the crosses of St George, St Andrew and St Patrick,
// St Patrick's red saltire counterchanged (the broad white above it at the hoist).
void UnionFlag(TFlag& flag, double x0, double y0, double w, double h) {
    flag.ClipTo({x0, y0}, {x0 + w, y0 + h});
    flag.Rect(x0, y0, x0 + w, y0 + h, kUnionBlue);
    const double u = h / 30.0; // the flag's own units: 60 x 30
    const TPoint centre{x0 + w / 2, y0 + h / 2};
    const TPoint corners[] = {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}};
    for (const TPoint& c : corners) {
        flag.Band(centre, c, 6 * u, kWhite);
    }
    // Each arm's red lies on one side of the diagonal: the lower side at the hoist, the upper
    // side in the fly, turning with the flag.
    flag.Band(centre, corners[0], 2 * u, kEnsignRed, -1);
    flag.Band(centre, corners[1], 2 * u, kEnsignRed, -1);
    flag.Band(centre, corners[2], 2 * u, kEnsignRed, -1);
    flag.Band(centre, corners[3], 2 * u, kEnsignRed, -1);
    flag.Rect(centre.x - 5 * u, y0, centre.x + 5 * u, y0 + h, kWhite);
    flag.Rect(x0, centre.y - 5 * u, x0 + w, centre.y + 5 * u, kWhite);
    flag.Rect(centre.x - 3 * u, y0, centre.x + 3 * u, y0 + h, kEnsignRed);
    flag.Rect(x0, centre.y - 3 * u, x0 + w, centre.y + 3 * u, kEnsignRed);
    flag.NoClip();
}

// The White Ensign of the Royal Navy (flown by the Royal Australian Navy too until 1967): the
// cross of St George with the Union Flag in the upper hoist.
TFlag WhiteEnsign() {
    TFlag flag(2.0, kWhite);
    constexpr double kCross = 0.2;
    flag.Rect(0, 0.5 - kCross / 2, 2.0, 0.5 + kCross / 2, kEnsignRed);
    flag.Rect(1.0 - kCross / 2, 0, 1.0 + kCross / 2, 1.0, kEnsignRed);
    UnionFlag(flag, 0, 0, 1.0, 0.5);
    return flag;
}

// A cross pattee (the Iron Cross), black edged in white.
void IronCross(TFlag& flag, double cx, double cy, double r) {
    for (const auto& [colour, reach, waist] :
         {std::tuple{kWhite, r, r * 0.32}, std::tuple{kBlack, r * 0.8, r * 0.2}}) {
        for (int arm = 0; arm < 4; ++arm) {
            const double a = arm * kPi / 2.0 - (arm >= 2 ? 2.0 * kPi : 0.0);
            const double c = Cos(a);
            const double s = Sin(a);
            const auto at = [&](double along, double across) {
                return TPoint{cx + along * c - across * s, cy + along * s + across * c};
            };
            flag.Polygon(
                {at(0, -waist), at(reach, -reach * 0.62), at(reach, reach * 0.62), at(0, waist)},
                colour);
        }
    }
}

// The Imperial German war ensign of 1903: a black cross on white with the eagle in a roundel
// and the black, white and red canton with the Iron Cross.
TFlag GermanEnsign() {
    TFlag flag(1.5, kWhite);
    constexpr double kCross = 0.12;
    flag.Rect(0, 0.5 - kCross / 2, 1.5, 0.5 + kCross / 2, kBlack);
    flag.Rect(0.75 - kCross / 2, 0, 0.75 + kCross / 2, 1.0, kBlack);
    const double cantonRight = 0.75 - kCross / 2 - 0.03;
    const double cantonBottom = 0.5 - kCross / 2 - 0.03;
    const double stripe = cantonBottom / 3.0;
    flag.Rect(0, 0, cantonRight, stripe, kBlack);
    flag.Rect(0, 2 * stripe, cantonRight, cantonBottom, kEnsignRed);
    IronCross(flag, cantonRight / 2, cantonBottom / 2, 0.11);
    flag.Circle(0.75, 0.5, 0.2, kWhite);
    // The eagle, spread: body, head and the two wings.
    flag.Polygon(
        {{0.75, 0.36}, {0.79, 0.45}, {0.77, 0.62}, {0.75, 0.66}, {0.73, 0.62}, {0.71, 0.45}},
        kBlack);
    flag.Circle(0.75, 0.36, 0.035, kBlack);
    flag.Polygon({{0.72, 0.45}, {0.6, 0.37}, {0.6, 0.47}, {0.64, 0.55}, {0.73, 0.55}}, kBlack);
    flag.Polygon({{0.78, 0.45}, {0.9, 0.37}, {0.9, 0.47}, {0.86, 0.55}, {0.77, 0.55}}, kBlack);
    return flag;
}

// The French tricolour as the navy flies it: the bands 30, 33 and 37 parts wide, so that they
// look equal when the flag streams.
TFlag FrenchEnsign() {
    TFlag flag(1.5, kWhite);
    flag.Rect(0, 0, 1.5 * 0.30, 1.0, kFrenchBlue);
    flag.Rect(1.5 * 0.63, 0, 1.5, 1.0, kFrenchRed);
    return flag;
}

// The Stars and Stripes of 1912: thirteen stripes and forty-eight stars in six rows of eight.
TFlag AmericanEnsign() {
    TFlag flag(1.9, kWhite);
    const double stripe = 1.0 / 13.0;
    for (int i = 0; i < 13; i += 2) {
        flag.Rect(0, i * stripe, 1.9, (i + 1) * stripe, kOldGloryRed);
    }
    const double cantonWidth = 0.76;
    const double cantonHeight = 7 * stripe;
    flag.Rect(0, 0, cantonWidth, cantonHeight, kOldGloryBlue);
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 8; ++col) {
            flag.Star(cantonWidth * (col + 0.5) / 8, cantonHeight * (row + 0.5) / 6, 0.026, kWhite);
        }
    }
    return flag;
}

// A crown over a shield, for the ensigns of Austria-Hungary and Italy.
void Crown(TFlag& flag, double cx, double bottom, double w) {
    const double h = w * 0.55;
    flag.Polygon({{cx - w / 2, bottom},
                  {cx + w / 2, bottom},
                  {cx + w / 2, bottom - h},
                  {cx + w / 4, bottom - h * 0.55},
                  {cx, bottom - h},
                  {cx - w / 4, bottom - h * 0.55},
                  {cx - w / 2, bottom - h}},
                 kGold);
}

std::vector<TPoint> Shield(double cx, double top, double w, double h) {
    return {{cx - w / 2, top},
            {cx + w / 2, top},
            {cx + w / 2, top + h * 0.6},
            {cx, top + h},
            {cx - w / 2, top + h * 0.6}};
}

// The Austro-Hungarian naval ensign: red, white and red, with the crowned shield of Austria
// towards the hoist.
TFlag AustrianEnsign() {
    TFlag flag(1.5, kWhite);
    flag.Rect(0, 0, 1.5, 1.0 / 3.0, kEnsignRed);
    flag.Rect(0, 2.0 / 3.0, 1.5, 1.0, kEnsignRed);
    const double cx = 0.6;
    const double top = 0.3;
    const double w = 0.26;
    const double h = 0.42;
    flag.Polygon(Shield(cx, top - 0.015, w + 0.03, h + 0.03), kGold);
    flag.Polygon(Shield(cx, top, w, h), kEnsignRed);
    flag.ClipTo({0, top + h * 0.36}, {1.5, top + h * 0.62});
    flag.Polygon(Shield(cx, top, w, h), kWhite);
    flag.NoClip();
    Crown(flag, cx, top - 0.02, w * 0.8);
    return flag;
}

// The Italian naval ensign: the tricolour with the crowned arms of Savoy (a white cross on red,
// bordered in blue).
TFlag ItalianEnsign() {
    TFlag flag(1.5, kWhite);
    flag.Rect(0, 0, 0.5, 1.0, kItalianGreen);
    flag.Rect(1.0, 0, 1.5, 1.0, kEnsignRed);
    const double cx = 0.75;
    const double top = 0.3;
    const double w = 0.28;
    const double h = 0.42;
    flag.Polygon(Shield(cx, top, w, h), kSavoyBlue);
    flag.Polygon(Shield(cx, top + 0.03, w - 0.06, h - 0.06), kEnsignRed);
    flag.ClipTo({0, 0}, {1.5, top + h * 0.8});
    flag.Rect(cx - 0.025, top + 0.03, cx + 0.025, top + h - 0.03, kWhite);
    flag.Rect(cx - w / 2 + 0.03, top + 0.16, cx + w / 2 - 0.03, top + 0.21, kWhite);
    flag.NoClip();
    Crown(flag, cx, top - 0.02, w * 0.8);
    return flag;
}

// The Russian naval ensign: the blue saltire of St Andrew on white.
TFlag RussianEnsign() {
    TFlag flag(1.5, kWhite);
    flag.Band({0, 0}, {1.5, 1.0}, 0.17, kAndrewBlue);
    flag.Band({0, 1.0}, {1.5, 0}, 0.17, kAndrewBlue);
    return flag;
}

// The Rising Sun ensign of the Imperial Japanese Navy: a red disc towards the hoist with
// sixteen rays.
TFlag JapaneseEnsign() {
    TFlag flag(1.5, kWhite);
    const TPoint sun{1.5 * 0.45, 0.5};
    constexpr int kRays = 16;
    constexpr double kReach = 2.0;
    for (int i = 0; i < kRays; i += 2) {
        const double a0 = -kPi + 2.0 * kPi * i / kRays + kPi / kRays / 2.0;
        const double a1 = a0 + 2.0 * kPi / kRays;
        const double b1 = a1 > kPi ? a1 - 2.0 * kPi : a1;
        flag.Polygon({sun,
                      {sun.x + kReach * Cos(a0), sun.y + kReach * Sin(a0)},
                      {sun.x + kReach * Cos(b1), sun.y + kReach * Sin(b1)}},
                     kEnsignRed);
    }
    flag.Circle(sun.x, sun.y, 0.25, kEnsignRed);
    return flag;
}

// The Ottoman flag: a white crescent and star on red.
TFlag OttomanEnsign() {
    TFlag flag(1.5, kOttomanRed);
    flag.Circle(0.62, 0.5, 0.25, kWhite);
    flag.Circle(0.68, 0.5, 0.2, kOttomanRed);
    flag.Star(0.9, 0.5, 0.12, kWhite);
    return flag;
}

// No nation's colours: a plain white flag edged in grey, for shipping of no particular flag.
TFlag NeutralFlag() {
    TFlag flag(1.5, kNeutralGrey);
    constexpr double kEdge = 0.06;
    flag.Rect(kEdge, kEdge, 1.5 - kEdge, 1.0 - kEdge, kWhite);
    return flag;
}

struct TEntry {
    const char* file;
    std::function<TFlag()> draw;
};

const std::vector<TEntry>& Entries() {
    static const std::vector<TEntry> entries = {
        {"Britain.png", WhiteEnsign},
        {"Germany.png", GermanEnsign},
        {"France.png", FrenchEnsign},
        {"USA.png", AmericanEnsign},
        {"Austria-Hungary.png", AustrianEnsign},
        {"Italy.png", ItalianEnsign},
        {"Russia.png", RussianEnsign},
        {"Japan.png", JapaneseEnsign},
        {"Ottoman.png", OttomanEnsign},
        {"Australia.png", WhiteEnsign},
        {"Neutral.png", NeutralFlag},
    };
    return entries;
}

// ---- PNG

std::uint32_t Crc32(const std::string& bytes, std::size_t from) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFU;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        c = table[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFU;
}

void PutBig32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    PutBig32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png += type;
    png += data;
    PutBig32(png, Crc32(png, start));
}

} // namespace

std::vector<std::string> FlagFileNames() {
    std::vector<std::string> names;
    for (const TEntry& entry : Entries()) {
        names.emplace_back(entry.file);
    }
    return names;
}

TPicture DrawFlag(const std::string& fileName) {
    for (const TEntry& entry : Entries()) {
        if (fileName == entry.file) {
            return entry.draw().Render(kFlagPixelHeight);
        }
    }
    return {};
}

std::string PngFile(const TPicture& picture) {
    std::string raw;
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < picture.width; ++x) {
            const TRgb& p = picture.At(x, y);
            raw.push_back(static_cast<char>(p.r));
            raw.push_back(static_cast<char>(p.g));
            raw.push_back(static_cast<char>(p.b));
        }
    }
    // A zlib stream of stored deflate blocks: no compressor whose output might change.
    std::string zlib = {0x78, 0x01};
    constexpr std::size_t kMaxBlock = 65535;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += kMaxBlock) {
        const std::size_t n = std::min(kMaxBlock, raw.size() - at);
        const bool last = at + n >= raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<char>(n & 0xFF));
        zlib.push_back(static_cast<char>(n >> 8));
        zlib.push_back(static_cast<char>(~n & 0xFF));
        zlib.push_back(static_cast<char>((~n >> 8) & 0xFF));
        zlib.append(raw, at, n);
        if (last) {
            break;
        }
    }
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (char c : raw) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(zlib, (b << 16) | a);

    std::string header;
    PutBig32(header, static_cast<std::uint32_t>(picture.width));
    PutBig32(header, static_cast<std::uint32_t>(picture.height));
    header += {8, 2, 0, 0, 0}; // 8 bits, RGB, deflate, adaptive filters, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", {});
    return png;
}

std::vector<std::pair<std::string, std::string>> FlagFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    for (const TEntry& entry : Entries()) {
        files.emplace_back(entry.file, PngFile(entry.draw().Render(kFlagPixelHeight)));
    }
    return files;
}

} // namespace tarnwake::flags
