#include "ui/OrthographicProjection.h"

#include "core/Rounding.h"
#include "map/Geometry.h"

#include <algorithm>
#include <cmath>

namespace tarnwake::ui {

TUnitVector ToUnitVector(const map::TGeoPos& p) {
    const double lon = p.lon * map::kRadiansPerGlobeUnit;
    const double lat = p.lat * map::kRadiansPerGlobeUnit;
    const double cosLat = std::cos(lat);
    return {cosLat * std::cos(lon), cosLat * std::sin(lon), std::sin(lat)};
}

TOrthographicProjection::TOrthographicProjection(const map::TGeoPos& centre,
                                                 double pixelsPerGlobeUnit, double cx, double cy)
    : cx_(cx), cy_(cy) {
    SetCentre(centre);
    SetScale(pixelsPerGlobeUnit);
}

void TOrthographicProjection::SetCentre(const map::TGeoPos& centre) {
    centre_ = centre;
    const double lon = centre.lon * map::kRadiansPerGlobeUnit;
    const double lat = centre.lat * map::kRadiansPerGlobeUnit;
    const double sinLon = std::sin(lon);
    const double cosLon = std::cos(lon);
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    east_ = {-sinLon, cosLon, 0.0};
    north_ = {-sinLat * cosLon, -sinLat * sinLon, cosLat};
    view_ = {cosLat * cosLon, cosLat * sinLon, sinLat};
}

void TOrthographicProjection::SetScale(double pixelsPerGlobeUnit) {
    pixelsPerUnit_ = pixelsPerGlobeUnit;
    pixelsPerRadian_ = pixelsPerGlobeUnit * map::kGlobeRadius;
}

void TOrthographicProjection::SetScreenCentre(double cx, double cy) {
    cx_ = cx;
    cy_ = cy;
}

TScreenPoint TOrthographicProjection::Project(const TUnitVector& v) const {
    double x = v.x * east_.x + v.y * east_.y;
    double y = v.x * north_.x + v.y * north_.y + v.z * north_.z;
    const double depth = v.x * view_.x + v.y * view_.y + v.z * view_.z;
    bool visible = true;
    if (depth < 0.0) {
        visible = false;
        const double r = std::hypot(x, y);
        if (r > 0.0) {
            x /= r;
            y /= r;
        } else {
            x = 1.0; // the point opposite the centre: any place on the rim will do
        }
    }
    return {cx_ + x * pixelsPerRadian_, cy_ - y * pixelsPerRadian_, visible};
}

std::optional<map::TGeoPos> TOrthographicProjection::Unproject(double px, double py) const {
    if (pixelsPerRadian_ <= 0.0) {
        return std::nullopt;
    }
    const double x = (px - cx_) / pixelsPerRadian_;
    const double y = (cy_ - py) / pixelsPerRadian_;
    const double rr = x * x + y * y;
    if (rr > 1.0) {
        return std::nullopt;
    }
    const double depth = std::sqrt(1.0 - rr);
    const double vx = x * east_.x + y * north_.x + depth * view_.x;
    const double vy = x * east_.y + y * north_.y + depth * view_.y;
    const double vz = y * north_.z + depth * view_.z;
    const double lon = std::atan2(vy, vx);
    const double lat = std::asin(std::clamp(vz, -1.0, 1.0));
    map::TGeoPos p;
    p.lon = map::WrapLongitude(core::Round(lon * map::kGlobeRadius));
    p.lat = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        core::Round(lat * map::kGlobeRadius), -map::kMaxLatitude, map::kMaxLatitude));
    return p;
}

TScreenAxes TOrthographicProjection::LocalAxes(const map::TGeoPos& p) const {
    const double lon = p.lon * map::kRadiansPerGlobeUnit;
    const double lat = p.lat * map::kRadiansPerGlobeUnit;
    const double sinLon = std::sin(lon);
    const double cosLon = std::cos(lon);
    const double sinLat = std::sin(lat);
    const TUnitVector north = {-sinLat * cosLon, -sinLat * sinLon, std::cos(lat)};
    const TUnitVector east = {-sinLon, cosLon, 0.0};
    const auto screenX = [this](const TUnitVector& t) {
        return (t.x * east_.x + t.y * east_.y) * pixelsPerRadian_;
    };
    const auto screenY = [this](const TUnitVector& t) {
        return -(t.x * north_.x + t.y * north_.y + t.z * north_.z) * pixelsPerRadian_;
    };
    return {screenX(north), screenY(north), screenX(east), screenY(east)};
}

} // namespace tarnwake::ui
