#include "map/LayerFile.h"

#include "core/ProfileFile.h"
#include "core/Text.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace tarnwake::map {

namespace {

// Object flag bits.
constexpr std::uint16_t kHasTitle = 1u << 0;
constexpr std::uint16_t kHasData = 1u << 1;
constexpr std::uint16_t kHeights = 1u << 2;
constexpr std::uint16_t kSmall = 1u << 3;
constexpr std::uint16_t kDelta = 1u << 4;
constexpr std::uint16_t kSinglePoint = 1u << 5;
constexpr std::uint16_t kLongCount = 1u << 6;
constexpr std::uint16_t kHasZoom = 1u << 7;
constexpr std::uint16_t kClosed = 1u << 8;
constexpr std::uint16_t kManyChains = 1u << 10;

constexpr std::int32_t kSmallEscape = 127;
constexpr std::int32_t kWordEscape = 32'767;
constexpr std::int64_t kSmallUnit = kGlobeUnitsPerMinute;

// The fewest bytes an object or a delta-coded point can take: counts are checked against
// what is left of the file before anything is reserved for them.
constexpr std::size_t kMinObjectBytes = 4; // flags and presenter words
constexpr std::size_t kMinChainBytes = 2;  // an empty chain: its word count
constexpr std::size_t kMinPresenterBytes = 12;

constexpr std::string_view kPointPresenterClass = "TPointPresenter";
constexpr std::string_view kPolyPresenterClass = "TPolyPresenter";
constexpr std::string_view kPolygonPresenterClass = "TPolygonPresenter";
constexpr std::string_view kPolylinePresenterClass = "TPolylinePresenter";

std::string Hex(unsigned v) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", v);
    return text;
}

// A failure that stops the reading; its text is the whole message.
struct TReadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The file ended in the middle of something.
struct TTruncated : TReadFailure {
    using TReadFailure::TReadFailure;
};

class TByteReader {
public:
    TByteReader(std::span<const std::uint8_t> bytes, std::string name)
        : bytes_(bytes), name_(std::move(name)) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    void Seek(std::size_t pos) { pos_ = std::min(pos, bytes_.size()); }
    const std::string& Name() const { return name_; }

    [[noreturn]] void Fail(const std::string& what) const {
        throw TReadFailure("Layer file " + name_ + ": " + what + " (byte " + std::to_string(pos_) +
                           ").");
    }

    std::uint8_t Byte(const char* what) {
        Need(1, what);
        return bytes_[pos_++];
    }
    std::int8_t SByte(const char* what) { return static_cast<std::int8_t>(Byte(what)); }
    std::uint16_t Word(const char* what) {
        Need(2, what);
        const auto v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::int16_t SWord(const char* what) { return static_cast<std::int16_t>(Word(what)); }
    std::int32_t Int(const char* what) {
        Need(4, what);
        const std::uint32_t v = static_cast<std::uint32_t>(bytes_[pos_]) |
                                (static_cast<std::uint32_t>(bytes_[pos_ + 1]) << 8) |
                                (static_cast<std::uint32_t>(bytes_[pos_ + 2]) << 16) |
                                (static_cast<std::uint32_t>(bytes_[pos_ + 3]) << 24);
        pos_ += 4;
        return static_cast<std::int32_t>(v);
    }
    std::string String(const char* what) {
        const std::uint8_t length = Byte(what);
        Need(length, what);
        std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
        pos_ += length;
        return s;
    }

private:
    void Need(std::size_t n, const char* what) const {
        if (Remaining() < n) {
            throw TTruncated("Layer file " + name_ + " ends too early, in " + what + " (byte " +
                             std::to_string(pos_) + ").");
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::string name_;
    std::size_t pos_ = 0;
};

class TLayerReader {
public:
    TLayerReader(std::span<const std::uint8_t> bytes, const std::string& name)
        : in_(bytes, name), name_(name) {}

    TLayerFileResult Read() {
        TLayerFileResult result;
        try {
            ReadHeader();
            layer_ = std::make_unique<TGlobeLayer>(name_);
            if (ReadPresenters(result.warnings)) {
                ReadObjects(result.warnings);
            }
            result.layer = std::move(layer_);
        } catch (const TReadFailure& failure) {
            result.error = failure.what();
            result.layer.reset();
        }
        return result;
    }

private:
    void ReadHeader() {
        version_ = in_.Word("the version");
        if (version_ < kOldestLayerFileVersion) {
            throw TReadFailure("Invalid File Version " + Hex(version_) + " in " + name_);
        }
        for (int i = 0; i < 4; ++i) {
            in_.Int("the bounding box");
        }
    }

    static TGlobeUnitTypes Unit(std::uint8_t number) {
        return GlobeUnitFromNumber(number).value_or(TGlobeUnitTypes::Pixel);
    }

    TGlobeFont Font() {
        TGlobeFont font;
        font.colour = in_.Int("a font colour");
        font.unit = Unit(in_.Byte("a font unit"));
        font.size = in_.Word("a font size");
        font.angle = in_.Word("a font angle");
        font.style = in_.Byte("a font style");
        font.name = in_.String("a font name");
        return font;
    }

    TGlobePen Pen() {
        TGlobePen pen;
        pen.colour = in_.Int("a pen colour");
        pen.style = in_.Byte("a pen style");
        if (version_ >= 0x0400) {
            pen.width = in_.Int("a pen width");
            pen.widthUnit = Unit(in_.Byte("a pen width unit"));
        } else {
            pen.width = in_.Byte("a pen width");
            pen.widthUnit = TGlobeUnitTypes::Pixel;
        }
        return pen;
    }

    TGlobeBrush Brush() {
        TGlobeBrush brush;
        brush.colour = in_.Int("a brush colour");
        brush.backColour = version_ >= 0x0405 ? in_.Int("a brush background") : brush.colour;
        brush.style = in_.Byte("a brush style");
        return brush;
    }

    TGlobePresenter Presenter(TPresenterKind kind) {
        TGlobePresenter p;
        p.kind = kind;
        p.PresenterID = in_.Int("a presenter number");
        if (version_ >= 0x0400) {
            p.titleOffset = in_.Int("a title offset");
        } else if (version_ > 0x0300) {
            p.titleOffset = in_.Byte("a title offset");
        }
        p.Name = in_.String("a presenter name");
        p.titleAlignment = in_.Byte("a title alignment");
        p.titleFont = Font();
        switch (kind) {
        case TPresenterKind::Point: {
            p.pointType = in_.Byte("a point type");
            p.pointUnit = Unit(in_.Byte("a point unit"));
            const std::int32_t size = in_.Int("a point size");
            if (size < 0) {
                p.pointSize = size == std::numeric_limits<std::int32_t>::min()
                                  ? std::numeric_limits<std::int32_t>::max()
                                  : -size;
                p.maxPointSize = in_.Int("a maximum point size");
            } else {
                p.pointSize = size;
            }
            p.symbolIndex = in_.Word("a symbol index");
            p.imageName = in_.String("an image name");
            p.pen = Pen();
            p.brush = Brush();
            p.pointFont = Font();
            break;
        }
        case TPresenterKind::Poly:
        case TPresenterKind::Polygon:
            p.pen = Pen();
            p.brush = Brush();
            break;
        case TPresenterKind::Polyline:
            p.pen = Pen();
            break;
        }
        return p;
    }

    static bool PresenterKindOf(const std::string& className, TPresenterKind& kind) {
        if (core::EqualsNoCase(className, kPointPresenterClass)) {
            kind = TPresenterKind::Point;
        } else if (core::EqualsNoCase(className, kPolyPresenterClass)) {
            kind = TPresenterKind::Poly;
        } else if (core::EqualsNoCase(className, kPolygonPresenterClass)) {
            kind = TPresenterKind::Polygon;
        } else if (core::EqualsNoCase(className, kPolylinePresenterClass)) {
            kind = TPresenterKind::Polyline;
        } else {
            return false;
        }
        return true;
    }

    // Answers false when there is nothing more to read: the file ended inside the styles, or
    // right after their end mark.
    bool ReadPresenters(std::vector<std::string>& warnings) {
        try {
            while (!in_.AtEnd()) {
                const std::size_t groupStart = in_.Position();
                const std::int32_t count = in_.Int("a presenter count");
                if (count <= 0) {
                    // A layer with styles and no objects ends here, with nothing after the
                    // end mark.
                    return !in_.AtEnd();
                }
                const std::string className = in_.String("a class name");
                TPresenterKind kind;
                if (!PresenterKindOf(className, kind)) {
                    // Not a drawing style: the objects start here.
                    in_.Seek(groupStart);
                    return true;
                }
                if (static_cast<std::size_t>(count) > in_.Remaining() / kMinPresenterBytes + 1) {
                    in_.Fail("impossible presenter count " + std::to_string(count));
                }
                for (std::int32_t i = 0; i < count; ++i) {
                    layer_->MutablePresenters().push_back(Presenter(kind));
                }
            }
            return true;
        } catch (const TTruncated& truncated) {
            warnings.push_back(std::string(truncated.what()) +
                               " The drawing styles read so far are kept.");
            return false;
        }
    }

    struct TPointRaw {
        std::int64_t lon;
        std::int64_t lat;
        std::int64_t height;
    };

    TGeoPos Checked(const TPointRaw& raw) {
        if (raw.lat > kMaxLatitude || raw.lat < -kMaxLatitude) {
            in_.Fail("a position beyond the poles");
        }
        return TGeoPos{WrapLongitude(raw.lon), static_cast<std::int32_t>(raw.lat), 0};
    }

    TPointRaw FullPoint(bool small, bool heights) {
        TPointRaw p{};
        if (small) {
            p.lon = in_.SWord("a point") * kSmallUnit;
            p.lat = in_.SWord("a point") * kSmallUnit;
            p.height = heights ? in_.SWord("a point") * kSmallUnit : 0;
        } else {
            p.lon = in_.Int("a point");
            p.lat = in_.Int("a point");
            p.height = heights ? in_.Int("a point") : 0;
        }
        return p;
    }

    std::vector<TGeoPos> Chain(std::uint16_t flags) {
        const bool small = (flags & kSmall) != 0;
        const bool heights = (flags & kHeights) != 0;
        const bool delta = (flags & kDelta) != 0;
        std::int64_t count = 0;
        if ((flags & kLongCount) != 0) {
            count = in_.Int("a point count");
            if (count < 0) {
                in_.Fail("negative point count " + std::to_string(count));
            }
        } else {
            count = in_.Word("a point count");
        }
        std::vector<TGeoPos> points;
        if (count == 0) {
            return points;
        }
        const std::size_t coordinate = small ? 2 : 4;
        const std::size_t fullBytes = coordinate * (heights ? 3 : 2);
        const std::size_t stepBytes = delta ? (small ? 1 : 2) * (heights ? 3 : 2) : fullBytes;
        if (static_cast<std::uint64_t>(count - 1) >
            (in_.Remaining() - std::min(in_.Remaining(), fullBytes)) / stepBytes) {
            in_.Fail("impossible point count " + std::to_string(count));
        }
        points.reserve(static_cast<std::size_t>(count));
        TPointRaw previous = FullPoint(small, heights);
        points.push_back(Checked(previous));
        for (std::int64_t i = 1; i < count; ++i) {
            TPointRaw next{};
            if (!delta) {
                next = FullPoint(small, heights);
            } else {
                const std::int64_t unit = small ? kSmallUnit : 1;
                const std::int32_t escape = small ? kSmallEscape : kWordEscape;
                const std::int32_t dLon =
                    small ? in_.SByte("a point step") : in_.SWord("a point step");
                if (dLon == escape) {
                    next = FullPoint(small, heights);
                } else {
                    const std::int32_t dLat =
                        small ? in_.SByte("a point step") : in_.SWord("a point step");
                    std::int32_t dHeight = 0;
                    if (heights) {
                        dHeight = small ? in_.SByte("a point step") : in_.SWord("a point step");
                    }
                    // Longitudes are kept wrapped, so steps never pile up past the range.
                    next.lon = points.back().lon + dLon * unit;
                    next.lat = previous.lat + dLat * unit;
                    next.height = previous.height + dHeight * unit;
                }
            }
            points.push_back(Checked(next));
            previous = next;
            previous.lon = points.back().lon;
        }
        return points;
    }

    void Object() {
        auto object = std::make_unique<TGeoDataObject>(nullptr);
        const std::uint16_t flags = in_.Word("object flags");
        if ((flags & kHasTitle) != 0) {
            object->SetTitle(in_.String("a title"));
        }
        if ((flags & kHasData) != 0) {
            object->SetDataValue(in_.Int("a data value"));
        }
        if ((flags & kHasZoom) != 0) {
            const std::int32_t zoomMin = in_.Int("a zoom range");
            const std::int32_t zoomMax = in_.Int("a zoom range");
            object->SetZoomRange(zoomMin, zoomMax);
        }
        object->SetPresenterID(in_.Word("a presenter number"));
        object->SetClosed((flags & kClosed) != 0);
        if ((flags & kSinglePoint) != 0) {
            object->SetStoredPoint(
                Checked(FullPoint((flags & kSmall) != 0, (flags & kHeights) != 0)));
        } else {
            const std::size_t chains = (flags & kManyChains) != 0 ? in_.Word("a chain count") : 1;
            if (chains > in_.Remaining() / kMinChainBytes + 1) {
                in_.Fail("impossible chain count " + std::to_string(chains));
            }
            for (std::size_t c = 0; c < chains; ++c) {
                const std::uint16_t chainFlags =
                    c == 0 ? flags : static_cast<std::uint16_t>(in_.Word("chain flags"));
                object->SetChainPoints(static_cast<int>(c),
                                       Chain(static_cast<std::uint16_t>(chainFlags & 0xFF)));
            }
        }
        layer_->Adopt(std::move(object));
    }

    void ReadObjects(std::vector<std::string>& warnings) {
        while (true) {
            if (in_.AtEnd()) {
                warnings.push_back("Layer file " + name_ + " has no end mark after its objects.");
                return;
            }
            const std::int32_t count = in_.Int("an object count");
            if (count == 0) {
                return;
            }
            if (count < 0) {
                in_.Fail("impossible object count " + std::to_string(count));
            }
            const std::string className = in_.String("a class name");
            if (!core::EqualsNoCase(className, kGeoDataObjectClass)) {
                in_.Fail("objects of class \"" + className + "\" cannot be read");
            }
            if (static_cast<std::size_t>(count) > in_.Remaining() / kMinObjectBytes) {
                in_.Fail("impossible object count " + std::to_string(count));
            }
            for (std::int32_t i = 0; i < count; ++i) {
                Object();
            }
        }
    }

    TByteReader in_;
    std::string name_;
    std::uint16_t version_ = 0;
    std::unique_ptr<TGlobeLayer> layer_;
};

// ---- Writing --------------------------------------------------------------------------------

class TByteWriter {
public:
    void Byte(std::uint8_t v) { out_.push_back(v); }
    void SByte(std::int8_t v) { Byte(static_cast<std::uint8_t>(v)); }
    void Word(std::uint16_t v) {
        Byte(static_cast<std::uint8_t>(v & 0xFF));
        Byte(static_cast<std::uint8_t>(v >> 8));
    }
    void SWord(std::int16_t v) { Word(static_cast<std::uint16_t>(v)); }
    void Int(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) {
            Byte(static_cast<std::uint8_t>((u >> shift) & 0xFF));
        }
    }
    void String(const std::string& s, const char* what) {
        if (s.size() > 255) {
            throw std::invalid_argument(std::string(what) + " longer than 255 characters: " + s);
        }
        Byte(static_cast<std::uint8_t>(s.size()));
        out_.insert(out_.end(), s.begin(), s.end());
    }
    std::vector<std::uint8_t> Take() { return std::move(out_); }

private:
    std::vector<std::uint8_t> out_;
};

std::int32_t ClampToInt(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void WriteFont(TByteWriter& out, const TGlobeFont& font) {
    out.Int(font.colour);
    out.Byte(static_cast<std::uint8_t>(font.unit));
    out.Word(font.size);
    out.Word(font.angle);
    out.Byte(font.style);
    out.String(font.name, "a font name");
}

void WritePen(TByteWriter& out, const TGlobePen& pen) {
    out.Int(pen.colour);
    out.Byte(pen.style);
    out.Int(pen.width);
    out.Byte(static_cast<std::uint8_t>(pen.widthUnit));
}

void WriteBrush(TByteWriter& out, const TGlobeBrush& brush) {
    out.Int(brush.colour);
    out.Int(brush.backColour);
    out.Byte(brush.style);
}

void WritePresenter(TByteWriter& out, const TGlobePresenter& p) {
    out.Int(p.PresenterID);
    out.Int(p.titleOffset);
    out.String(p.Name, "a presenter name");
    out.Byte(p.titleAlignment);
    WriteFont(out, p.titleFont);
    switch (p.kind) {
    case TPresenterKind::Point:
        out.Byte(p.pointType);
        out.Byte(static_cast<std::uint8_t>(p.pointUnit));
        if (p.maxPointSize != 0) {
            if (p.pointSize <= 0) {
                throw std::invalid_argument("a point size of 0 cannot carry a maximum size");
            }
            out.Int(-p.pointSize);
            out.Int(p.maxPointSize);
        } else {
            out.Int(p.pointSize);
        }
        out.Word(p.symbolIndex);
        out.String(p.imageName, "an image name");
        WritePen(out, p.pen);
        WriteBrush(out, p.brush);
        WriteFont(out, p.pointFont);
        break;
    case TPresenterKind::Poly:
    case TPresenterKind::Polygon:
        WritePen(out, p.pen);
        WriteBrush(out, p.brush);
        break;
    case TPresenterKind::Polyline:
        WritePen(out, p.pen);
        break;
    }
}

bool IsWholeMinute(const TGeoPos& p) {
    return p.lon % kSmallUnit == 0 && p.lat % kSmallUnit == 0;
}

struct TChainPlan {
    std::uint16_t flags = 0;
};

// Whether the step fits without the escape: a step of the escape value or more (in
// either direction's largest magnitude) is written as a full point.
bool StepFits(std::int64_t d, bool small) {
    return small ? (d >= -128 && d < kSmallEscape) : (d >= -32'768 && d < kWordEscape);
}

TChainPlan PlanChain(std::span<const TGeoPos> points) {
    TChainPlan plan;
    const bool small = std::all_of(points.begin(), points.end(), IsWholeMinute);
    const std::int64_t unit = small ? kSmallUnit : 1;
    const std::size_t full = small ? 4 : 8;
    const std::size_t step = small ? 2 : 4;
    const std::size_t escape = small ? 1 : 2;
    std::size_t fullSize = full * points.size();
    std::size_t deltaSize = points.empty() ? 0 : full;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const std::int64_t dLon = (std::int64_t{points[i].lon} - points[i - 1].lon) / unit;
        const std::int64_t dLat = (std::int64_t{points[i].lat} - points[i - 1].lat) / unit;
        deltaSize += StepFits(dLon, small) && StepFits(dLat, small) ? step : escape + full;
    }
    if (small) {
        plan.flags |= kSmall;
    }
    if (points.size() > 1 && deltaSize < fullSize) {
        plan.flags |= kDelta;
    }
    if (points.size() > 0xFFFF) {
        plan.flags |= kLongCount;
    }
    return plan;
}

void WriteFullPoint(TByteWriter& out, const TGeoPos& p, bool small) {
    if (small) {
        out.SWord(static_cast<std::int16_t>(p.lon / kSmallUnit));
        out.SWord(static_cast<std::int16_t>(p.lat / kSmallUnit));
    } else {
        out.Int(p.lon);
        out.Int(p.lat);
    }
}

void WriteChain(TByteWriter& out, std::span<const TGeoPos> points, std::uint16_t flags) {
    const bool small = (flags & kSmall) != 0;
    const bool delta = (flags & kDelta) != 0;
    if ((flags & kLongCount) != 0) {
        out.Int(static_cast<std::int32_t>(points.size()));
    } else {
        out.Word(static_cast<std::uint16_t>(points.size()));
    }
    if (points.empty()) {
        return;
    }
    WriteFullPoint(out, points[0], small);
    const std::int64_t unit = small ? kSmallUnit : 1;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (!delta) {
            WriteFullPoint(out, points[i], small);
            continue;
        }
        const std::int64_t dLon = (std::int64_t{points[i].lon} - points[i - 1].lon) / unit;
        const std::int64_t dLat = (std::int64_t{points[i].lat} - points[i - 1].lat) / unit;
        if (StepFits(dLon, small) && StepFits(dLat, small)) {
            if (small) {
                out.SByte(static_cast<std::int8_t>(dLon));
                out.SByte(static_cast<std::int8_t>(dLat));
            } else {
                out.SWord(static_cast<std::int16_t>(dLon));
                out.SWord(static_cast<std::int16_t>(dLat));
            }
        } else {
            if (small) {
                out.SByte(static_cast<std::int8_t>(kSmallEscape));
            } else {
                out.SWord(static_cast<std::int16_t>(kWordEscape));
            }
            WriteFullPoint(out, points[i], small);
        }
    }
}

void WriteObject(TByteWriter& out, const TGeoDataObject& object) {
    if (object.PresenterID() < 0 || object.PresenterID() > 0xFFFF) {
        throw std::invalid_argument("a presenter number outside 0..65535: " +
                                    std::to_string(object.PresenterID()));
    }
    if (object.ChainCount() > 0xFFFF) {
        throw std::invalid_argument("more than 65,535 chains in one object");
    }
    std::uint16_t flags = 0;
    if (!object.Title().empty()) {
        flags |= kHasTitle;
    }
    if (object.DataValue() != 0) {
        flags |= kHasData;
    }
    if (object.ZoomMin() != 0 || object.ZoomMax() != 0) {
        flags |= kHasZoom;
    }
    if (object.Closed()) {
        flags |= kClosed;
    }
    TChainPlan first;
    if (object.ChainCount() == 0) {
        flags |= kSinglePoint;
        if (IsWholeMinute(object.StoredPoint())) {
            flags |= kSmall;
        }
    } else {
        first = PlanChain(object.Chain(0).Points());
        flags |= first.flags;
        if (object.ChainCount() > 1) {
            flags |= kManyChains;
        }
    }
    out.Word(flags);
    if ((flags & kHasTitle) != 0) {
        out.String(object.Title(), "a title");
    }
    if ((flags & kHasData) != 0) {
        out.Int(object.DataValue());
    }
    if ((flags & kHasZoom) != 0) {
        out.Int(object.ZoomMin());
        out.Int(object.ZoomMax());
    }
    out.Word(static_cast<std::uint16_t>(object.PresenterID()));
    if ((flags & kSinglePoint) != 0) {
        WriteFullPoint(out, object.StoredPoint(), (flags & kSmall) != 0);
        return;
    }
    if ((flags & kManyChains) != 0) {
        out.Word(static_cast<std::uint16_t>(object.ChainCount()));
    }
    for (int c = 0; c < object.ChainCount(); ++c) {
        const auto points = object.Chain(c).Points();
        std::uint16_t chainFlags = first.flags;
        if (c > 0) {
            chainFlags = PlanChain(points).flags;
            out.Word(chainFlags);
        }
        WriteChain(out, points, chainFlags);
    }
}

} // namespace

std::string_view PresenterClassName(TPresenterKind kind) {
    switch (kind) {
    case TPresenterKind::Point:
        return kPointPresenterClass;
    case TPresenterKind::Poly:
        return kPolyPresenterClass;
    case TPresenterKind::Polygon:
        return kPolygonPresenterClass;
    case TPresenterKind::Polyline:
        return kPolylinePresenterClass;
    }
    return kPolygonPresenterClass;
}

TLayerFileResult ReadLayerBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
    return TLayerReader(bytes, name).Read();
}

TLayerFileResult LoadLayerFile(const std::filesystem::path& file) {
    TLayerFileResult result;
    const std::string fileName = file.string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        result.error = "Cannot find layer file " + fileName;
        return result;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxLayerFileBytes) {
        result.error = "Layer file " + fileName + " is too large to be a layer file.";
        return result;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()))) {
        result.error = "Cannot read layer file " + fileName;
        return result;
    }
    result = ReadLayerBytes(bytes, fileName);
    if (result.layer) {
        result.layer->SetName(file.filename().string());
    }
    return result;
}

std::vector<std::uint8_t> LayerToBytes(const TGlobeLayer& layer) {
    TByteWriter out;
    out.Word(kLayerFileVersion);
    bool any = false;
    TGeoRect box;
    std::int64_t right = 0;
    std::int64_t top = 0;
    for (const TGeoDataObject* object : layer.Objects()) {
        const TGeoRect& r = object->BoundingRect();
        if (!any) {
            box = r;
            right = r.Right();
            top = r.Top();
            any = true;
        }
        box.left = std::min(box.left, r.left);
        box.bottom = std::min(box.bottom, r.bottom);
        right = std::max(right, r.Right());
        top = std::max(top, r.Top());
    }
    out.Int(ClampToInt(box.left));
    out.Int(ClampToInt(box.bottom));
    out.Int(ClampToInt(right));
    out.Int(ClampToInt(top));

    const auto& presenters = layer.Presenters();
    for (std::size_t i = 0; i < presenters.size();) {
        std::size_t j = i;
        while (j < presenters.size() && presenters[j].kind == presenters[i].kind) {
            ++j;
        }
        out.Int(static_cast<std::int32_t>(j - i));
        out.String(std::string(PresenterClassName(presenters[i].kind)), "a class name");
        for (std::size_t k = i; k < j; ++k) {
            WritePresenter(out, presenters[k]);
        }
        i = j;
    }
    if (layer.ObjectCount() > 0) {
        out.Int(layer.ObjectCount());
        out.String(std::string(kGeoDataObjectClass), "a class name");
        for (const TGeoDataObject* object : layer.Objects()) {
            WriteObject(out, *object);
        }
    }
    out.Int(0);
    return out.Take();
}

bool WriteLayerFile(const TGlobeLayer& layer, const std::filesystem::path& file,
                    std::string& error) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = LayerToBytes(layer);
    } catch (const std::exception& e) {
        error = "Cannot write layer file " + file.string() + ": " + e.what();
        return false;
    }
    return core::WriteFileAtomically(
        file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

} // namespace tarnwake::map
