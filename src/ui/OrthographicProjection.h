#pragma once

#include "map/GeoPos.h"

#include <optional>

namespace tarnwake::ui {

// A point on the unit sphere: x towards 0 E on the equator, y towards 90 E, z to the north
// pole. Coast layers keep their points in this form so that turning the globe is a few
// multiplications per point instead of four sines and cosines.
struct TUnitVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

TUnitVector ToUnitVector(const map::TGeoPos& p);

// Where a point of the globe lands on the screen.
struct TScreenPoint {
    double x = 0.0;
    double y = 0.0;
    // On the side of the globe that faces the viewer (an orthographic view shows one
    // hemisphere; points behind it are folded onto the rim by Project).
    bool visible = true;
};

// The orthographic (spherical) view of the chart: the globe as seen from far away, the
// centre of the view straight below the eye. Pure arithmetic, no drawing: the chart view
// and its tests share it.
//
// The screen scale is given in pixels per globe unit at the centre of the view; (cx, cy) is
// the pixel the centre lands on. Screen y grows downwards, north is up along the central
// meridian.
// The screen directions, in pixels, of a step of one radian of arc due north and due east
// from a point: for drawing small things (ships) to scale around it.
struct TScreenAxes {
    double northX = 0.0;
    double northY = 0.0;
    double eastX = 0.0;
    double eastY = 0.0;
};

class TOrthographicProjection {
public:
    TOrthographicProjection() { SetCentre({}); }
    TOrthographicProjection(const map::TGeoPos& centre, double pixelsPerGlobeUnit, double cx,
                            double cy);

    void SetCentre(const map::TGeoPos& centre);
    void SetScale(double pixelsPerGlobeUnit);
    void SetScreenCentre(double cx, double cy);

    const map::TGeoPos& Centre() const { return centre_; }
    double PixelsPerGlobeUnit() const { return pixelsPerUnit_; }
    // Pixels per radian of arc: the globe's radius on the screen.
    double PixelsPerRadian() const { return pixelsPerRadian_; }
    double ScreenCentreX() const { return cx_; }
    double ScreenCentreY() const { return cy_; }

    // A point of the globe on the screen. A point on the far side is moved onto the rim of
    // the globe's disc in its own direction (so an outline that runs over the horizon keeps
    // its shape on this side) and reported as not visible.
    TScreenPoint Project(const map::TGeoPos& p) const { return Project(ToUnitVector(p)); }
    TScreenPoint Project(const TUnitVector& v) const;
    // The position under a pixel; nothing when the pixel lies off the globe's disc.
    std::optional<map::TGeoPos> Unproject(double x, double y) const;
    TScreenAxes LocalAxes(const map::TGeoPos& p) const;

private:
    map::TGeoPos centre_;
    double pixelsPerUnit_ = 1e-6;
    double pixelsPerRadian_ = 1.0;
    double cx_ = 0.0;
    double cy_ = 0.0;
    // The screen's east, north and line-of-sight directions as unit vectors.
    TUnitVector east_;
    TUnitVector north_;
    TUnitVector view_;
};

} // namespace tarnwake::ui
